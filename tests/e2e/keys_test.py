"""The editor's keys pressed for real: play/pause, steps, marks, saving and the
rate, checked against the text and against what the player itself reports."""

import os
import re
import tempfile

from tavrin_e2e import Program, check, run, wait_for, write_wav


def test_typing_and_driving_the_player(binary):
    with tempfile.TemporaryDirectory() as folder, Program(binary) as program:
        recording = os.path.join(folder, "lecture.wav")
        write_wav(recording, 120)
        program.activate(program.main_window())
        program.load_recording(recording)
        editor = program.find(name="文稿听打整理区", role="text")
        wait_for(lambda: program.focused(editor), "the editor to hold the focus")
        program.type_into(editor, "hello")

        # Space plays and pauses and types nothing.
        program.key("space")
        wait_for(lambda: program.player_property("pause") is False, "Space to start playback")
        program.key("space")
        wait_for(lambda: program.player_property("pause") is True, "Space to pause playback")
        check(program.text(editor) == "hello", f"text after Space: {program.text(editor)!r}")

        # Enter types a line break in Space mode; in Enter mode it plays instead.
        program.key("Return")
        wait_for(lambda: program.text(editor) == "hello\n", lambda: repr(program.text(editor)))
        program.click(program.find(name="回车键", role="radio button"))
        program.click(editor)
        program.key("ctrl+End")
        program.key("Return")
        wait_for(lambda: program.player_property("pause") is False, "Enter to start playback")
        program.key("space")
        wait_for(lambda: program.text(editor) == "hello\n ", lambda: repr(program.text(editor)))
        check(program.player_property("pause") is False, "Space only types in Enter mode")

        # F9 goes 3 s back and plays on.
        program.player("seek", 60, "absolute+exact")
        wait_for(lambda: 60 <= program.player_property("time-pos") < 61, "playback at 60 s")
        program.key("F9")
        wait_for(lambda: 57 <= program.player_property("time-pos") < 59,
                 lambda: f"playback near 57 s, not {program.player_property('time-pos')}")

        # F8 puts the position display's time into the text.
        display = program.find(description="当前播放进度", role="label")
        wait_for(lambda: re.fullmatch(r"00:00:5\d", program.text(display)), "the display to show the position")
        program.key("ctrl+Home")
        program.key("F8")
        wait_for(lambda: re.fullmatch(r"-00:00:5\d-hello\n ", program.text(editor)), lambda: repr(program.text(editor)))

        # Five Ctrl+Up: 1.5 in the box and at the player.
        for _ in range(5):
            program.key("ctrl+Up")
        rate_box = program.find(name="播放速度")
        wait_for(lambda: program.text(rate_box) == "1.5", lambda: f"the rate box at 1.5, not {program.text(rate_box)!r}")
        wait_for(lambda: abs(program.player_property("speed") - 1.5) < 1e-9, "the player at 1.5")

        # Ctrl+S writes the transcript beside the recording.
        program.key("ctrl+s")
        transcript = recording + ".txt"
        wait_for(lambda: os.path.exists(transcript), "the transcript")
        with open(transcript, "rb") as saved:
            content = saved.read()
        check(content == program.text(editor).replace("\n", "\r\n").encode("gbk"), f"saved {content!r}")

        # A double-click on the mark plays from there.
        mark = re.search(r"-(\d\d):(\d\d):(\d\d)-", program.text(editor))
        marked = int(mark.group(2)) * 60 + int(mark.group(3))
        program.player("seek", 100, "absolute+exact")
        wait_for(lambda: program.player_property("time-pos") >= 100, "playback at 100 s")
        program.double_click_text(editor, mark.start() + 3)
        wait_for(lambda: marked <= program.player_property("time-pos") < marked + 2,
                 lambda: f"playback at {marked} s, not {program.player_property('time-pos')}")


if __name__ == "__main__":
    run([test_typing_and_driving_the_player])
