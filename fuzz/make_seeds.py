#!/usr/bin/env python3
"""Writes the seed corpora of the fuzzers into fuzz/corpus/<fuzzer>/, one named file per seed.

Each seed is a case worth starting from; libFuzzer mutates them. Run it again after changing a
seed; the files are committed.
"""
import os

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def frame(packet_id, contents, address=b"\xff\xff\xff\xff", bad_checksum=False):
    length = len(contents) + 2
    body = bytes([packet_id, length >> 8, length & 0xFF]) + bytes(contents)
    checksum = sum(body) & 0xFFFF
    if bad_checksum:
        checksum ^= 1
    return b"\xef\x01" + address + body + bytes([checksum >> 8, checksum & 0xFF])


def receive_settings(limit=16000, ms_per_byte=1, start=0, gap_at=0xFFFF, gap_passes=0, errors=0):
    return bytes([limit >> 8, limit & 0xFF, ms_per_byte, start, gap_at >> 8, gap_at & 0xFF,
                  gap_passes, errors])


# Transfer scripts (transfer_script.h): opening, then records [t n seed].
DATA, END, ACK, OTHER = 0, 1, 2, 3
NO_GAP, SHORT, NOISE, LONG = 0, 1, 2, 3
REPEAT = {1: 0, 2: 4, 4: 5, 16: 6, 64: 7}


def record(kind, n, seed, gap=NO_GAP, bad=False, repeat=1):
    return bytes([kind | gap << 2 | (0x10 if bad else 0) | REPEAT[repeat] << 5, n, seed])


def opening_ack():
    return b"\x00\x00"


def frames_of_128(count, seed=1):
    """count Data frames of 128 bytes, in as few records as the repeat counts allow."""
    out = b""
    for size in (64, 16, 4, 2, 1):
        while count >= size:
            out += record(DATA, 128, seed, repeat=size)
            seed += 1
            count -= size
    return out


SEEDS = {
    "parse_frame": {
        "ack_code_0": frame(7, [0]),
        "capture_command": frame(1, [1]),
        "any_address": frame(7, [0], address=b"\x00\x00\x00\x00"),
        "match_score_80": frame(7, [0, 0, 0x50]),
        "largest_frame": frame(2, [0xFF] * 339),
        "one_byte_too_long": frame(2, [0xFF] * 340),
        "bad_checksum": frame(7, [0], bad_checksum=True),
        "length_field_1": b"\xef\x01\xff\xff\xff\xff\x07\x00\x01\x08",
    },
    "receive_frame_body": {
        "noise_then_ack": receive_settings() + b"\x00\x12" + frame(7, [0]),
        "two_frames": receive_settings() + frame(7, [0]) + frame(8, [1, 2, 3]),
        "header_only": receive_settings(limit=1000) + frame(7, [0])[:9],
        "false_header": receive_settings(limit=2000) + b"\xef\x01\xff\xff\xff\xff\x07\x01\x50"
        + frame(7, [0]),
        "silent_mid_frame": receive_settings(gap_at=10, gap_passes=150) + frame(7, [0, 0, 0x50]),
        "read_errors_mid_frame": receive_settings(gap_at=4, gap_passes=20, errors=1)
        + frame(2, list(range(40))),
        "length_zero": receive_settings(limit=500) + b"\xef\x01\xff\xff\xff\xff\x07\x00\x00"
        + b"\x00" * 20,
        "length_past_frame": receive_settings(limit=3000, ms_per_byte=0)
        + b"\xef\x01\xff\xff\xff\xff\x02\x01\x80" + bytes(range(256)) * 2,
        "tick_counter_wraps": receive_settings(start=200, gap_at=0, gap_passes=60)
        + frame(7, [0]),
        "limit_zero": receive_settings(limit=0, ms_per_byte=0) + frame(7, [0]),
    },
    "read_features": {
        "whole_template": opening_ack() + frames_of_128(3) + record(END, 128, 9),
        "empty_end_frame": opening_ack() + record(END, 0, 0),
        "ack_in_stream": opening_ack() + record(DATA, 128, 1) + record(ACK, 1, 1)
        + record(DATA, 128, 2) + record(END, 127, 3),
        "late_end_frame": opening_ack() + record(DATA, 100, 1, gap=SHORT) * 5
        + record(END, 12, 2, gap=SHORT) + record(END, 12, 2, gap=SHORT),
        "longer_than_template": opening_ack() + frames_of_128(4) + record(END, 128, 5),
        "stream_stops": opening_ack() + frames_of_128(2),
        "frame_times_out": opening_ack() + record(DATA, 128, 1) + record(END, 128, 2, gap=LONG),
        "bad_checksum_in_stream": opening_ack() + record(DATA, 128, 1)
        + record(END, 128, 2, bad=True),
        "noise_and_errors": opening_ack() + record(DATA, 120, 1, gap=NOISE)
        + record(END, 100, 2, gap=NOISE),
        "odd_packet_ids": opening_ack() + record(OTHER, 30, 1) + record(OTHER, 30, 7)
        + record(OTHER, 30, 8),
        "refused": b"\x05\x01",
        "not_an_ack": b"\x06\x08",
        "no_answer": b"\x07\x00",
    },
    "read_image": {
        "whole_image": opening_ack() + frames_of_128(287) + record(END, 128, 9),
        "ack_in_stream": opening_ack() + frames_of_128(100) + record(ACK, 1, 1)
        + frames_of_128(100, seed=50) + record(END, 127, 3),
        "short_image": opening_ack() + frames_of_128(10) + record(END, 20, 3),
        "stream_stops": opening_ack() + frames_of_128(20),
        "frame_times_out": opening_ack() + frames_of_128(5) + record(DATA, 128, 1, gap=LONG),
        "longer_than_raw_image": opening_ack() + frames_of_128(580) + record(END, 128, 5),
        "largest_frames": opening_ack() + record(DATA, 255, 4, repeat=64)
        + record(DATA, 255, 5, repeat=64) + record(END, 255, 6),
        "bad_checksum_in_stream": opening_ack() + frames_of_128(3)
        + record(END, 128, 2, bad=True),
        "refused": b"\x05\x01",
        "no_answer": b"\x07\x00",
    },
}


def main():
    for fuzzer, seeds in SEEDS.items():
        folder = os.path.join(ROOT, fuzzer)
        os.makedirs(folder, exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(folder, name), "wb") as out:
                out.write(data)


if __name__ == "__main__":
    main()
