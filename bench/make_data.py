"""Writes the benchmark's inputs: transcripts of mixed Chinese and ASCII text in
GBK with CR LF line breaks, a three-hour MP3 recording (made with lame), a
three-hour VBR one (made with ffmpeg, for the waveform), and spoken phrases of
an hour and of five minutes (espeak-ng, for the first draft).
Everything is deterministic, and nothing is rewritten once it exists."""

import math
import os
import random
import struct
import subprocess
import sys

LAST_WORD = "尾声标记ZQX"
CHINESE = ("我们 今天 讨论 一下 这个 项目 的 进度 问题 大家 觉得 怎么样 首先 关于 预算 方面 其次 是 时间 安排 "
           "客户 提出 了 新的 要求 需要 重新 评估 会议 记录 整理 录音 文稿 发言 同意 不同意 补充 说明 总结 "
           "下一步 负责人 完成 报告 数据 分析 结果 显示 增长 下降 百分之 左右 大概 可能 应该 必须").split()
ASCII = "OK API v2.1 PDF Excel Q3 KPI 2024 100 3.5 email project team deadline review".split()
PUNCTUATION = ["，", "，", "。", "？", "！", "：", "、"]


def paragraph(rng):
    words = []
    length = rng.randint(60, 420)
    size = 0
    while size < length:
        pick = rng.random()
        if pick < 0.08:
            word = rng.choice(ASCII) + " "
        elif pick < 0.10:
            word = "-%02d:%02d:%02d-" % (rng.randint(0, 2), rng.randint(0, 59), rng.randint(0, 59))
        elif pick < 0.22:
            word = rng.choice(PUNCTUATION)
        else:
            word = rng.choice(CHINESE)
        words.append(word)
        size += len(word)
    return "".join(words) + "。"


def write_transcript(path, megabytes):
    if os.path.exists(path):
        return
    rng = random.Random(megabytes)
    target = megabytes * 1024 * 1024
    chunks = []
    size = 0
    while size < target:
        line = (paragraph(rng) + "\r\n").encode("gbk")
        chunks.append(line)
        size += len(line)
    chunks.append(LAST_WORD.encode("gbk") + b"\r\n")
    with open(path + ".part", "wb") as out:
        out.write(b"".join(chunks))
    os.replace(path + ".part", path)


def write_recording(path, hours):
    """A minute of speech-like tones encoded once, its frames repeated."""
    if os.path.exists(path):
        return
    rate = 8000
    samples = []
    for i in range(rate * 60):
        t = i / rate
        envelope = 0.5 + 0.5 * math.sin(2 * math.pi * 3 * t)
        samples.append(int(4000 * envelope * math.sin(2 * math.pi * (180 + 60 * math.sin(t)) * t)))
    minute_wav = path + ".minute.wav"
    minute_mp3 = path + ".minute.mp3"
    data = struct.pack("<%dh" % len(samples), *samples)
    with open(minute_wav, "wb") as out:
        out.write(b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt "
                  + struct.pack("<IHHIIHH", 16, 1, 1, rate, rate * 2, 2, 16) + b"data"
                  + struct.pack("<I", len(data)) + data)
    subprocess.run(["lame", "--quiet", "-t", "-m", "m", "-b", "16", minute_wav, minute_mp3], check=True)
    with open(minute_mp3, "rb") as minute:
        frames = minute.read()
    with open(path + ".part", "wb") as out:
        for _ in range(int(hours * 60)):
            out.write(frames)
    os.replace(path + ".part", path)
    os.remove(minute_wav)
    os.remove(minute_mp3)


def write_vbr_recording(path, hours):
    """A minute of speech-like tones, looped and encoded in one go as VBR with its
    Xing header, as encoders write VBR files (some ten seconds of encoding)."""
    if os.path.exists(path):
        return
    minute_wav = path + ".minute.wav"
    tones = "0.12*(0.5+0.5*sin(2*PI*3*t))*sin(2*PI*(180+60*sin(t))*t)"
    quiet = ["ffmpeg", "-hide_banner", "-loglevel", "error", "-y"]
    subprocess.run(quiet + ["-f", "lavfi", "-i", f"aevalsrc='{tones}':s=8000:d=60", minute_wav], check=True)
    subprocess.run(quiet + ["-stream_loop", str(int(hours * 60) - 1), "-i", minute_wav, "-c:a", "libmp3lame",
                            "-q:a", "4", "-f", "mp3", path + ".part"], check=True)
    os.replace(path + ".part", path)
    os.remove(minute_wav)


PHRASES = ["今天我们讨论一下项目的进度。", "好的，我先说。", "上个月完成了第一部分的工作，下个月开始测试。"]


def write_speech_recording(path, minutes):
    """Spoken phrases with a second and a half of silence after each, 16 kHz mono
    16-bit WAV, for the first draft: each phrase spoken once by espeak-ng, repeated."""
    if os.path.exists(path):
        return
    rate, spoken = 16000, []
    for number, text in enumerate(PHRASES):
        said, resampled = f"{path}.{number}.wav", f"{path}.{number}.raw"
        subprocess.run(["espeak-ng", "-v", "cmn", "-w", said, text], check=True)
        subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-i", said, "-ar", str(rate), "-ac", "1",
                        "-f", "s16le", resampled], check=True)
        with open(resampled, "rb") as raw:
            spoken.append(raw.read())
        os.remove(said)
        os.remove(resampled)
    gap = b"\0\0" * int(1.5 * rate)
    total = minutes * 60 * rate * 2
    with open(path + ".part", "wb") as out:
        out.write(b"RIFF" + struct.pack("<I", 36 + total) + b"WAVEfmt "
                  + struct.pack("<IHHIIHH", 16, 1, 1, rate, rate * 2, 2, 16) + b"data" + struct.pack("<I", total))
        written, turn = 0, 0
        while written < total:
            piece = (spoken[turn % len(spoken)] + gap)[:total - written]
            out.write(piece)
            written += len(piece)
            turn += 1
    os.replace(path + ".part", path)


def write_video(path, seconds):
    """720p H.264 at 30 frames a second (FFmpeg's moving test picture) with a tone."""
    if os.path.exists(path):
        return
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                    f"testsrc2=size=1280x720:rate=30:duration={seconds}", "-f", "lavfi", "-i",
                    f"sine=f=300:duration={seconds}", "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt",
                    "yuv420p", "-c:a", "aac", path + ".part.mp4"], check=True)
    os.replace(path + ".part.mp4", path)


if __name__ == "__main__":
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for megabytes in (1, 20, 100):
        write_transcript(os.path.join(folder, "transcript-%d.txt" % megabytes), megabytes)
    write_recording(os.path.join(folder, "three-hours.mp3"), 3)
    write_vbr_recording(os.path.join(folder, "three-hours-vbr.mp3"), 3)
    write_speech_recording(os.path.join(folder, "speech-one-hour.wav"), 60)
    write_speech_recording(os.path.join(folder, "speech-five-minutes.wav"), 5)
    write_video(os.path.join(folder, "video-720p.mp4"), 40)
