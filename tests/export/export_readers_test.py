"""`tavrin --export` with no display, each export read back by a program of its
own: FFmpeg for the subtitles, python-docx and LibreOffice for Word, odt2txt and
LibreOffice for OpenDocument, Python's csv and LibreOffice Calc for the table.
Usage: export_readers_test.py <tavrin binary>"""

import csv
import html
import io
import json
import os
import re
import subprocess
import sys
import tempfile
import wave

import docx

BINARY = sys.argv[1]
FORMATS = ("srt", "vtt", "docx", "odt", "csv", "txt")
# Marks out of order, speakers, a passage of two lines, a mark past the recording's
# end (10 s), and characters a table or a subtitle must not take as its own.
TRANSCRIPT = ("访谈记录\n"
              "-00:00:02- 张三：你好，\"欢迎\"。\n"
              "-00:00:06- 李四：谢谢。\n第二行 & <不是标签>\n"
              "-00:00:04- 张三：插在后面的一段\n"
              "-00:00:20-录音结束以后")
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL", message, flush=True)


def export(folder, *arguments):
    """Runs `tavrin --export ARGUMENTS` with no display."""
    environment = {key: value for key, value in os.environ.items() if key != "DISPLAY"}
    return subprocess.run([BINARY, "--export", *arguments], capture_output=True, text=True, env=environment,
                          cwd=folder, timeout=600)


def write_transcript(folder, text, name="访谈.wav.txt", seconds=10, encoding="gbk"):
    recording = os.path.join(folder, name[:-4])
    with wave.open(recording, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(8000)
        out.writeframes(b"\0\0" * 8000 * seconds)
    path = os.path.join(folder, name)
    with open(path, "wb") as out:
        out.write(text.replace("\n", "\r\n").encode(encoding))
    return path


def subtitle_packets(path):
    """(start, duration) of each cue as FFmpeg reads the file."""
    found = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "packet=pts_time,duration_time",
                            "-of", "json", path], capture_output=True, text=True, check=True)
    return [(float(p["pts_time"]), float(p["duration_time"])) for p in json.loads(found.stdout)["packets"]]


def office_convert(path, folder, target, *options):
    """The file LibreOffice, run headless, converts `path` into; None when it converts nothing."""
    out = os.path.join(folder, "office-" + os.path.basename(path))
    profile = "file://" + os.path.join(folder, "office-profile")
    subprocess.run(["soffice", "--headless", "--norestore", f"-env:UserInstallation={profile}", *options,
                    "--convert-to", target, "--outdir", out, path], capture_output=True, timeout=300, check=True)
    converted = [os.path.join(out, name) for name in os.listdir(out)] if os.path.isdir(out) else []
    return converted[0] if len(converted) == 1 else None


def office_text(path, folder):
    """The document's text as LibreOffice converts it: its lines with text."""
    converted = office_convert(path, folder, "txt:Text (encoded):UTF8")
    if not converted:
        return f"LibreOffice converted nothing of {path}"
    with open(converted, encoding="utf-8-sig") as text:
        return [line.strip() for line in text.read().splitlines() if line.strip()]


def calc_cells(path, folder):
    """The table as LibreOffice Calc opens it (UTF-8, commas, quotes; formulas evaluated, as Calc
    does by default): the text of each cell, and how many of them are formulas."""
    converted = office_convert(path, folder, "fods", "--infilter=Text - txt - csv (StarCalc):44,34,76,1")
    if not converted:
        return [], -1
    with open(converted, encoding="utf-8") as flat:
        document = flat.read()
    cells = re.findall(r"<table:table-cell\b[^>]*>\s*<text:p>([^<]*)</text:p>", document)
    return [html.unescape(cell) for cell in cells], document.count("table:formula=")


def test_every_format(folder):
    transcript = write_transcript(folder, TRANSCRIPT)
    for format_name in FORMATS:
        done = export(folder, format_name, transcript)
        check(done.returncode == 0, f"{format_name}: exit {done.returncode}: {done.stderr}")
    base = transcript[:-4]
    # In the order of time; each to the next later mark, the last past the end on by 5 s.
    expected = [(0.0, 2.0), (2.0, 2.0), (4.0, 2.0), (6.0, 14.0), (20.0, 5.0)]
    for extension in ("srt", "vtt"):
        check(subtitle_packets(f"{base}.{extension}") == expected,
              f"{extension} cues: {subtitle_packets(base + '.' + extension)}")
        # Decoded, as a player decodes it: the null output takes no subtitles unless they are converted.
        decoded = subprocess.run(["ffmpeg", "-v", "error", "-i", f"{base}.{extension}", "-map", "0", "-c:s", "ass",
                                  "-f", "null", "-"], capture_output=True, text=True)
        check(decoded.returncode == 0 and not decoded.stderr, f"ffmpeg reads the {extension}: {decoded.stderr}")
    with open(f"{base}.vtt", encoding="utf-8") as vtt:
        check("<v 李四>谢谢。\n第二行 &amp; &lt;不是标签&gt;" in vtt.read(), "the WebVTT voice and escapes")
    with open(f"{base}.srt", encoding="utf-8") as srt:
        check("张三：你好，\"欢迎\"。" in srt.read(), "the SubRip speaker")

    with open(f"{base}.csv", encoding="utf-8", newline="") as table:
        rows = list(csv.reader(table))
    check(rows[0] == ["start", "end", "speaker", "text"], f"the table's header: {rows[0]}")
    check(rows[2] == ["00:00:02.000", "00:00:04.000", "张三", "你好，\"欢迎\"。"], f"a table row: {rows[2]}")
    check(rows[3][2:] == ["李四", "谢谢。\n第二行 & <不是标签>"], f"two lines in one cell: {rows[3]}")
    check(len(rows) == 6, f"a row per passage, in the text's order: {rows}")

    document = docx.Document(f"{base}.docx")
    paragraphs = document.paragraphs
    check(paragraphs[0].text == "访谈.wav" and paragraphs[0].runs[0].bold, "the recording's name as the title")
    check([p.text for p in paragraphs[1:7]] == TRANSCRIPT.split("\n"), "a Word paragraph per paragraph")
    speaker = paragraphs[2].runs
    check([r.text for r in speaker] == ["-00:00:02-", " ", "张三：", "你好，\"欢迎\"。"], f"runs: {speaker}")
    check(speaker[2].bold and not speaker[3].bold, "the speaker in bold")
    check(str(speaker[0].font.color.rgb) == "808080", "the time mark grey")

    read = subprocess.run(["odt2txt", "--encoding=UTF-8", "--width=-1", f"{base}.odt"], capture_output=True, text=True, check=True)
    lines = [line.strip() for line in read.stdout.splitlines() if line.strip()]
    check(lines == ["访谈.wav"] + TRANSCRIPT.split("\n"), f"the OpenDocument text: {lines}")
    for extension in ("docx", "odt"):
        office = office_text(f"{base}.{extension}", folder)
        check(office == ["访谈.wav"] + TRANSCRIPT.split("\n"), f"{extension} as LibreOffice reads it: {office}")

    with open(f"{base}.utf8.txt", "rb") as plain:
        check(plain.read() == TRANSCRIPT.encode("utf-8"), "plain UTF-8 with LF")
    with open(transcript, "rb") as kept:
        check(kept.read() == TRANSCRIPT.replace("\n", "\r\n").encode("gbk"), "the transcript itself untouched")


def test_refusals(folder):
    unmarked = write_transcript(folder, "没有时间标记的文稿", name="无标记.wav.txt")
    for format_name in ("srt", "vtt", "csv"):
        done = export(folder, format_name, unmarked)
        check(done.returncode == 1 and "时间标记" in done.stderr, f"{format_name} without marks: {done.stderr}")
        check(not os.path.exists(unmarked[:-4] + "." + format_name), f"no {format_name} written")
    empty = write_transcript(folder, "", name="空.wav.txt")
    check(export(folder, "srt", empty).returncode == 1, "an empty transcript has no subtitles")
    check(export(folder, "docx", empty).returncode == 0, "an empty transcript is an empty document")

    marked = write_transcript(folder, "-00:00:01-甲", name="已有.wav.txt")
    output = os.path.join(folder, "已有.srt")
    with open(output, "w") as there:
        there.write("旧的")
    done = export(folder, "srt", marked, output)
    check(done.returncode == 1 and "--force" in done.stderr, f"an existing output: {done.stderr}")
    with open(output, encoding="utf-8") as there:
        check(there.read() == "旧的", "left as it was")
    check(export(folder, "srt", marked, output, "--force").returncode == 0, "--force replaces it")
    with open(output, encoding="utf-8") as there:
        check("甲" in there.read(), "replaced with the export")

    for arguments, what in ((["pdf", marked], "an unknown format"), (["srt"], "no transcript"),
                            (["srt", os.path.join(folder, "无此文件.txt")], "a missing transcript"),
                            (["txt", marked, marked], "the transcript as the output")):
        done = export(folder, *arguments)
        check(done.returncode != 0 and done.stderr.strip(), f"{what}: exit {done.returncode}, {done.stderr!r}")


# Passages a spreadsheet would run as formulas, characters XML cannot hold, and
# text that, written as it is, would open a cue of its own.
HOSTILE = ("-00:00:01- =HYPERLINK(\"http://example.com/\",\"点我\")\n"
           "-00:00:02-+1+2\n"
           "-00:00:03-@SUM(1)\n"
           "-00:00:04--1 分\n"
           "-00:00:05-\ufffe\uffff不是字符\x01\n"
           "-00:00:06-甲 ---> 乙\n42\n00:00:09,000 ---> 00:00:10,000\n伪造的字幕")


def subtitle_texts(path):
    """The text of each cue as FFmpeg decodes it for a player (ASS dialogue)."""
    decoded = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-c:s", "ass", "-f", "ass", "-"],
                             capture_output=True, text=True, check=True)
    return [line.split(",", 9)[9] for line in decoded.stdout.splitlines() if line.startswith("Dialogue:")]


def read_or_fail(what, reader):
    try:
        return reader()
    except Exception as failure:  # a reader that refuses the file
        check(False, f"{what}: {failure}")
        return None


def test_hostile_text(folder):
    transcript = write_transcript(folder, "\ufeff" + HOSTILE, name="敌意.wav.txt", encoding="utf-8")
    for format_name in FORMATS:
        done = export(folder, format_name, transcript)
        check(done.returncode == 0, f"{format_name}: exit {done.returncode}: {done.stderr}")
    base = transcript[:-4]
    with open(f"{base}.csv", encoding="utf-8", newline="") as table:
        texts = [row[3] for row in csv.reader(table)][1:]
    neutral = ["'=HYPERLINK(\"http://example.com/\",\"点我\")", "'+1+2", "'@SUM(1)", "'-1 分"]
    check(texts[:4] == neutral, f"table cells that would be formulas: {texts}")
    cells, formulas = calc_cells(f"{base}.csv", folder)
    check(formulas == 0 and all(text in cells for text in neutral), f"Calc: {formulas} formulas in {cells}")

    for extension in ("srt", "vtt"):
        check(len(subtitle_packets(f"{base}.{extension}")) == 6, f"{extension}: a cue per passage")
        last = subtitle_texts(f"{base}.{extension}")[-1]
        check("42" in last and "00:00:09,000" in last and "伪造的字幕" in last, f"{extension}: the last cue {last}")

    unreadable = "-00:00:05-\ufffd\ufffd不是字符"
    document = read_or_fail("python-docx", lambda: docx.Document(f"{base}.docx"))
    if document:
        check(document.paragraphs[5].text == unreadable, f"Word: {document.paragraphs[5].text!r}")
    read = subprocess.run(["odt2txt", "--encoding=UTF-8", "--width=-1", f"{base}.odt"], capture_output=True, text=True)
    check(unreadable in read.stdout.splitlines(), f"odt2txt: {read.stdout!r} {read.stderr!r}")
    for extension in ("docx", "odt"):
        office = office_text(f"{base}.{extension}", folder)
        check(unreadable in office, f"{extension} as LibreOffice reads it: {office}")


def test_twenty_megabytes(folder):
    passage = "-{:02d}:{:02d}:{:02d}- 张三：" + "我们今天主要谈一谈这个项目的进展情况，还有下一步的安排。" * 6 + "\n"
    lines = []
    size = 0
    second = 0
    while size < 20 * 1024 * 1024:
        line = passage.format(second // 3600, second // 60 % 60, second % 60)
        lines.append(line)
        size += len(line.encode("gbk"))
        second += 2
    transcript = write_transcript(folder, "".join(lines), name="长.wav.txt")
    for format_name in FORMATS:
        done = export(folder, format_name, transcript)
        check(done.returncode == 0, f"20 MB {format_name}: {done.stderr}")
    check(len(subtitle_packets(transcript[:-4] + ".srt")) == len(lines), "a cue per passage of 20 MB")
    check(len(docx.Document(transcript[:-4] + ".docx").paragraphs) == len(lines) + 2, "every paragraph in Word")


if __name__ == "__main__":
    for test in (test_every_format, test_refusals, test_hostile_text, test_twenty_megabytes):
        with tempfile.TemporaryDirectory() as folder:
            test(folder)
            print("ran", test.__name__, flush=True)
    sys.exit(1 if failures else 0)
