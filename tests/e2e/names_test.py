"""Files whose names are not UTF-8 (GBK bytes, as files unpacked from a Windows zip
archive are) reach the real program as a desktop gives them: on the command line and
dropped from a file manager. Each is worked on under its own bytes."""

import os
import tempfile

import gi

gi.require_version("GLib", "2.0")
from gi.repository import GLib  # noqa: E402
from open_test import drag_and_drop  # noqa: E402
from tavrin_e2e import RECORDING_LOADED, Program, check, run, wait_for, write_wav  # noqa: E402

GBK_NAME = "访谈".encode("gbk")


def names_in(folder):
    return sorted(os.listdir(os.fsencode(folder)))


def test_a_recording_named_in_gbk_on_the_command_line(binary):
    with tempfile.TemporaryDirectory() as folder:
        recording = os.fsencode(folder) + b"/" + GBK_NAME + b".wav"
        write_wav(os.fsdecode(recording), 20)
        with open(recording + b".txt", "wb") as transcript:
            transcript.write("昨天的文字".encode("gbk"))
        # Python gives the bytes of a name it could not decode back as they were.
        with Program(binary, args=[os.fsdecode(recording)]) as program:
            program.main_window()
            program.answer_message(RECORDING_LOADED)
            program.answer_box("已加载这个录音的文稿")
            wait_for(lambda: (program.player_property("duration") or 0) > 19, "the player to open the recording")
            editor = program.find(name="文稿听打整理区", role="text")
            wait_for(lambda: program.text(editor) == "昨天的文字", lambda: f"the transcript, not {program.text(editor)!r}")
            program.key("ctrl+End")
            program.type_into(editor, "abc")
            program.click(program.find(name="保存文稿Ctrl+S", role="push button"))
            expected = "昨天的文字abc".encode("gbk")
            wait_for(lambda: open(recording + b".txt", "rb").read() == expected, "the transcript saved under its bytes")
        check(names_in(folder) == [GBK_NAME + b".wav", GBK_NAME + b".wav.txt"], f"files: {names_in(folder)!r}")


def test_a_transcript_named_in_gbk_dropped(binary):
    with tempfile.TemporaryDirectory() as folder:
        transcript = os.fsencode(folder) + b"/" + GBK_NAME + b".txt"
        with open(transcript, "wb") as out:
            out.write("拖进来的文稿".encode("gbk"))
        with Program(binary) as program:
            program.main_window()
            editor = program.find(name="文稿听打整理区", role="text")
            # Its address, as a GTK file manager makes it from the name's bytes.
            drag_and_drop(GLib.filename_to_uri(os.fsdecode(transcript), None), editor)
            wait_for(lambda: program.text(editor) == "拖进来的文稿",
                     lambda: f"the dropped transcript, not {program.text(editor)!r}")


if __name__ == "__main__":
    run([test_a_recording_named_in_gbk_on_the_command_line, test_a_transcript_named_in_gbk_dropped])
