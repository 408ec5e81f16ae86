// The fakes of the platform seam live beside this file, one per seam.
