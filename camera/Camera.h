// The camera as the panel sees it: connection on demand at the configured
// speed, the picture count and table, download of a picture or thumbnail into
// a new file, deletion. Operations return a success flag; the failed one leaves
// its code in LinkStatus() beside the link's and the port's codes (Codes()).
#pragma once

#include <cstdint>
#include <functional>

#include "camera/CameraCodes.h"
#include "camera/PacketLink.h"
#include "camera/PictureKind.h"
#include "camera/PictureTable.h"
#include "platform/FileTime.h"

namespace pixlor {

// Called before the first packet with (0, total) and after every packet with
// the bytes received so far; returning false cancels the download. An empty
// function never cancels. Runs on the caller's thread, between two packets.
using DownloadProgress = std::function<bool(uint32_t received, uint32_t total)>;

class Camera {
public:
    // `portIndex` zero-based (0 is COM1); `speedIndex` for register 17 (1 to 5).
    Camera(uint8_t portIndex, uint32_t speedIndex);
    ~Camera(); // hands the camera back, then closes the port
    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

    // Reads the count if not known yet (handing the camera back afterwards) and
    // builds a table of that many empty records.
    bool LoadPictureTable();
    // Fills the record of picture `number` (from 1) unless it is loaded.
    bool LoadPictureInfo(uint32_t number, bool closeAfter);
    // Writes the photo or the thumbnail into the new file `path` (never over an
    // existing one) and gives it `fileTime` as its three times. A cancel or a
    // failed file write keeps the partial file: the caller decides what
    // becomes of it (LeftPartialFile).
    bool DownloadPicture(uint32_t number, PictureKind kind, bool closeAfter, const char* path,
                         const DownloadProgress& progress, const FileTime& fileTime);
    // The last DownloadPicture created its file and did not complete the
    // picture in it (a file that existed before is never opened).
    bool LeftPartialFile() const { return partialFile_; }
    // The LinkStatus of a download whose file of `kind` could not be created
    // or written.
    static int32_t FileFailure(PictureKind kind);
    bool DeletePicture(uint32_t number, bool closeAfter);
    // Clears LinkStatus and hands the camera back at 19200 bit/s, unless the
    // port shows a broken line.
    bool Disconnect();
    // The last failure shows a camera that does not answer at all: a
    // reception without a single byte, or a device that is gone. Such a
    // failure ends a batch, where other failures pass over one picture.
    bool NotAnswering() const { return link_.unanswered || link_.Port().deviceGone; }

    // Steps the operations are built from.
    bool Connect();
    bool EndConnection(bool release, bool preserveCodes);
    bool ReadPictureCount(bool closeAfter);
    bool SelectPicture(uint32_t number);

    // The record at a 0-based position, or null.
    const PictureRecord* RecordAt(uint32_t position) const { return table_.RecordAt(position); }
    const PictureTable& Table() const { return table_; }
    uint32_t PictureCount() const { return pictureCount_; }
    bool CountKnown() const { return countKnown_; }
    bool Connected() const { return connected_; }
    uint32_t SpeedIndex() const { return speedIndex_; }

    int32_t LinkStatus() const { return linkStatus_; }
    // The transfer operations record their own failures (codes 17 to 19) here.
    void SetLinkStatus(int32_t code) { linkStatus_ = code; }
    // LinkStatus, the link's PacketStatus and the port's PortFlags.
    CameraCodes Codes() const;
    PacketLink& Link() { return link_; }
    const PacketLink& Link() const { return link_; }

private:
    struct PictureDownload; // one download's state, from the request to the closed file

    // The picture connected, selected and its details read, the progress told
    // the size, the file created.
    bool StartDownload(uint32_t number, PictureKind kind, const char* path,
                       PictureDownload& download);
    // The request, then the packets into the file until the last one, a
    // failure or a stop.
    void ReceivePicture(PictureDownload& download);
    // One packet received: false when it was the last or the transfer stops.
    bool TakePacket(PictureDownload& download);
    // Stops the camera sending as a cancel does, with `code` as the reason.
    void StopSending(PictureDownload& download, int32_t code);
    // The file's times set and the file closed, the result checked, the
    // camera handed back if asked.
    bool FinishDownload(PictureDownload& download, const FileTime& fileTime);

    // After a refusal or NAK the camera is handed back, keeping the codes.
    void RefusalRule();
    // After a wake-up at 19200 bit/s that nothing answered: once, the speed
    // reset at the configured speed and the wake-up again.
    bool WakeFromConfiguredSpeed();
    uint32_t& Flags() { return link_.Port().flags; }

    bool connected_ = false;
    bool partialFile_ = false;
    int32_t linkStatus_ = 0;
    PacketLink link_;
    uint32_t speedIndex_;
    PictureTable table_;
    uint32_t pictureCount_ = 0;
    bool countKnown_ = false;
};

} // namespace pixlor
