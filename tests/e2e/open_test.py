"""Files reach the program as on a desktop: given on the command line (the file
manager's "Open with") or dragged from another window and dropped on it."""

import os
import subprocess
import sys
import tempfile

from tavrin_e2e import RECORDING_LOADED, Program, check, run, wait_for, write_wav, xdotool

BROUGHT_BACK = "已加载这个录音的文稿"


def test_recording_given_on_the_command_line(binary):
    with tempfile.TemporaryDirectory() as folder:
        recording = os.path.join(folder, "访谈 录音.wav")
        write_wav(recording, 20)
        with open(recording + ".txt", "wb") as transcript:
            transcript.write("昨天的文字".encode("gbk"))
        with Program(binary, args=[recording]) as program:
            program.main_window()
            program.answer_message(RECORDING_LOADED)
            program.answer_box(BROUGHT_BACK)
            wait_for(lambda: program.player_property("path") == recording, "the player to open the recording")
            editor = program.find(name="文稿听打整理区", role="text")
            wait_for(lambda: program.text(editor) == "昨天的文字", lambda: f"the transcript, not {program.text(editor)!r}")


def window_centre(window_id):
    geometry = dict(line.split("=") for line in xdotool("getwindowgeometry", "--shell", window_id).split())
    return int(geometry["X"]) + int(geometry["WIDTH"]) // 2, int(geometry["Y"]) + int(geometry["HEIGHT"]) // 2


def drag_and_drop(path, target):
    """Drags `path` from a window of its own onto the middle of the accessible node `target`."""
    source = subprocess.Popen([sys.executable, os.path.join(os.path.dirname(__file__), "drag_source.py"), path],
                              stdout=subprocess.PIPE, text=True)
    try:
        source_window = wait_for(lambda: xdotool("search", "--onlyvisible", "--pid", str(source.pid),
                                                 check_result=False).split()[:1], "the drag source's window")[0]
        x, y = window_centre(source_window)
        extents = target.get_extents(0)  # screen coordinates
        to_x, to_y = extents.x + extents.width // 2, extents.y + extents.height // 2
        xdotool("mousemove", "--sync", str(x), str(y))
        xdotool("mousedown", "1")
        # The drag starts with the press; the pointer then travels in steps, as a hand moves it.
        for step in range(1, 21):
            xdotool("mousemove", "--sync", str(x + (to_x - x) * step // 20), str(y + (to_y - y) * step // 20))
        xdotool("mouseup", "1")
        wait_for(lambda: source.stdout.readline(), "the drag to end")
    finally:
        source.kill()
        source.wait()


def test_dropped_recording_and_transcript(binary):
    with tempfile.TemporaryDirectory() as folder:
        recording = os.path.join(folder, "meeting.wav")
        write_wav(recording, 20)
        transcript = os.path.join(folder, "notes.txt")
        with open(transcript, "wb") as file:
            file.write("拖进来的文稿".encode("gbk"))
        with Program(binary) as program:
            program.main_window()
            editor = program.find(name="文稿听打整理区", role="text")
            drag_and_drop(recording, editor)
            program.answer_message(RECORDING_LOADED)
            wait_for(lambda: program.player_property("path") == recording, "the dropped recording to open")
            drag_and_drop(transcript, editor)
            wait_for(lambda: program.text(editor) == "拖进来的文稿", lambda: f"the dropped transcript, not {program.text(editor)!r}")


if __name__ == "__main__":
    run([test_recording_given_on_the_command_line, test_dropped_recording_and_transcript])
