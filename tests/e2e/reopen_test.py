"""Loading a recording brings its transcript back, and no save replaces bytes
the program did not load or save itself without asking."""

import os
import tempfile

from tavrin_e2e import Program, check, run, wait_for, write_wav

BROUGHT_BACK = "已加载这个录音的文稿"
LOAD_EXISTING = "是否加载这份文稿"
SAVE_FIRST = "是否先把它保存到"
REPLACE = "是否用编辑器中的文字替换它"
QUESTION = "提示"
YESTERDAY = "昨天的文字\r\n第二行".encode("gbk")


def content(path):
    with open(path, "rb") as file:
        return file.read()


def write(path, data):
    with open(path, "wb") as file:
        file.write(data)


def type_at_end(program, text):
    editor = program.find(name="文稿听打整理区", role="text")
    program.click(editor)
    program.key("ctrl+End")
    program.type_into(editor, text)  # Space plays: none typed
    return editor


def save_and_wait(program, path, expected):
    program.key("ctrl+s")
    wait_for(lambda: os.path.exists(path) and content(path) == expected,
             lambda: f"{path} to hold {expected!r}, not {content(path) if os.path.exists(path) else None!r}")


def test_morning_after_the_transcript_comes_back(binary):
    with tempfile.TemporaryDirectory() as folder:
        recording = os.path.join(folder, "morning.wav")  # typed into the file dialog: ASCII, which xdotool types reliably
        write_wav(recording, 20)
        write(recording + ".txt", YESTERDAY)
        with Program(binary) as program:
            program.activate(program.main_window())
            program.load_recording(recording)
            program.answer_box(BROUGHT_BACK)
            editor = type_at_end(program, ",today")
            check(program.text(editor) == "昨天的文字\n第二行,today", f"editor: {program.text(editor)!r}")
            save_and_wait(program, recording + ".txt", YESTERDAY + b",today")
            check(program.visible_window(QUESTION) is None, "a save of what was loaded here asks nothing")


def test_second_recording_keeps_both_transcripts(binary):
    with tempfile.TemporaryDirectory() as folder:
        first = os.path.join(folder, "first.wav")
        second = os.path.join(folder, "second.wav")
        write_wav(first, 20)
        write_wav(second, 20)
        write(second + ".txt", YESTERDAY)
        with Program(binary) as program:
            program.activate(program.main_window())
            program.load_recording(first)
            type_at_end(program, "first-words")
            program.load_recording(second)
            program.answer_box(SAVE_FIRST, "Return", QUESTION)  # yes: beside the first
            wait_for(lambda: os.path.exists(first + ".txt"), "the first transcript saved")
            check(content(first + ".txt") == b"first-words", f"first: {content(first + '.txt')!r}")
            program.answer_box(LOAD_EXISTING, "Escape", QUESTION)  # no: keep the editor's text
            editor = program.find(name="文稿听打整理区", role="text")
            check(program.text(editor) == "first-words", f"the editor kept its text: {program.text(editor)!r}")
            program.click(editor)
            program.key("ctrl+s")
            question = program.answer_box(REPLACE, "Escape", QUESTION)
            check(second + ".txt" in question, f"the question names the file: {question!r}")
            check(content(second + ".txt") == YESTERDAY, "No wrote nothing over the second transcript")


def test_transcript_changed_by_another_program(binary):
    with tempfile.TemporaryDirectory() as folder:
        recording = os.path.join(folder, "lecture.wav")
        transcript = recording + ".txt"
        write_wav(recording, 20)
        with Program(binary) as program:
            program.activate(program.main_window())
            program.load_recording(recording)
            type_at_end(program, "abc")
            save_and_wait(program, transcript, b"abc")
            write(transcript, b"written by another program")
            type_at_end(program, "def")
            program.key("ctrl+s")
            program.answer_box(REPLACE, "Escape", QUESTION)
            check(content(transcript) == b"written by another program", "No keeps the other program's bytes")
            program.key("ctrl+s")
            program.answer_box(REPLACE, "Return", QUESTION)
            wait_for(lambda: content(transcript) == b"abcdef", lambda: f"Yes replaces them, not {content(transcript)!r}")


if __name__ == "__main__":
    run([test_morning_after_the_transcript_comes_back, test_second_recording_keeps_both_transcripts,
         test_transcript_changed_by_another_program])
