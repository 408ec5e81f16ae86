#!/usr/bin/env python3
"""Writes the plugin's language files, help files and message id header.

Sources are UTF-8; the host reads OEM code pages, so English is written in
cp437 and Russian in cp866. One table feeds both language files and the
header, so they cannot drift apart.
"""
import argparse
import pathlib
import re
import sys

LANGUAGES = {
    "en": ("Eng", "English,English", "cp437"),
    "ru": ("Rus", "Russian,Russian (Русский)", "cp866"),
}


def read_table(path):
    messages = []
    current = None
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.rstrip("\r\n")
        if not line.strip() or line.startswith("#"):
            continue
        head = re.fullmatch(r"@(\d+) ([A-Za-z][A-Za-z0-9]*)", line)
        if head:
            current = {"id": int(head.group(1)), "name": head.group(2), "line": number}
            messages.append(current)
            continue
        text = re.fullmatch(r"(en|ru) (.*)", line)
        if not text or current is None:
            sys.exit(f"{path}:{number}: cannot read {line!r}")
        value = text.group(2)
        # Quotes keep a trailing blank in sight; "" is the empty text.
        if len(value) >= 2 and value[0] == '"' and value[-1] == '"':
            value = value[1:-1]
        current[text.group(1)] = value
    for index, message in enumerate(messages):
        if message["id"] != index:
            sys.exit(f"{path}:{message['line']}: message {message['id']} out of order")
        for lang in LANGUAGES:
            if lang not in message:
                sys.exit(f"{path}:{message['line']}: no {lang} text")
    return messages


def lng_quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def write_if_changed(path, data):
    if path.exists() and path.read_bytes() == data:
        return
    path.write_bytes(data)


def write_lng(messages, lang, out_dir):
    suffix, header, codepage = LANGUAGES[lang]
    lines = [f".Language={header}", ""]
    for message in messages:
        lines.append(f"// {message['id']} {message['name']}")
        lines.append(lng_quote(message[lang]))
    text = "\r\n".join(lines) + "\r\n"
    write_if_changed(out_dir / f"Pixlor{suffix}.lng", text.encode(codepage))


def write_header(messages, path):
    lines = [
        "// Generated from host/lang/messages.txt; do not edit.",
        "#pragma once",
        "",
        "namespace pixlor {",
        "",
        "enum MessageId : int {",
    ]
    for message in messages:
        lines.append(f"    {message['name']} = {message['id']},")
    lines += ["};", "", f"inline constexpr int kMessageCount = {len(messages)};", "",
              "} // namespace pixlor", ""]
    path.parent.mkdir(parents=True, exist_ok=True)
    write_if_changed(path, "\n".join(lines).encode("ascii"))


def write_hlf(source, lang, out_dir):
    suffix, header, codepage = LANGUAGES[lang]
    body = source.read_text(encoding="utf-8").replace("\r\n", "\n")
    if not body.startswith(".Language="):
        body = f".Language={header}\n" + body
    write_if_changed(out_dir / f"Pixlor{suffix}.hlf",
                     body.replace("\n", "\r\n").encode(codepage))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--table", required=True, type=pathlib.Path)
    parser.add_argument("--help-en", required=True, type=pathlib.Path)
    parser.add_argument("--help-ru", required=True, type=pathlib.Path)
    parser.add_argument("--out-dir", required=True, type=pathlib.Path)
    parser.add_argument("--header", required=True, type=pathlib.Path)
    args = parser.parse_args()
    messages = read_table(args.table)
    args.out_dir.mkdir(parents=True, exist_ok=True)
    for lang in LANGUAGES:
        write_lng(messages, lang, args.out_dir)
    write_hlf(args.help_en, "en", args.out_dir)
    write_hlf(args.help_ru, "ru", args.out_dir)
    write_header(messages, args.header)


if __name__ == "__main__":
    main()
