"""Playing, stepping, marking and going back to a mark, with real input, checked
against what the player itself reports."""

import os
import re
import tempfile

from tavrin_e2e import Program, check, run, wait_for, write_wav


def position(program):
    return program.player_property("time-pos")


def test_play_step_mark_and_double_click(binary):
    with tempfile.TemporaryDirectory() as folder, Program(binary) as program:
        recording = os.path.join(folder, "interview.wav")
        write_wav(recording, 120)
        program.activate(program.main_window())
        program.load_recording(recording)

        play = program.find(name="播     放", role="push button")
        program.click(play)
        wait_for(lambda: program.player_property("pause") is False, "playback to start")
        program.find(name="暂停", role="push button")  # the caption tells what the button did

        # Go to 00:00:40 through the time box and its link.
        time_box = program.find(name="用时间定位语音", role="text")
        program.click(time_box)
        program.key("ctrl+a")
        program.type("00:00:40")
        program.click(program.find(name="确定", role="label"))
        wait_for(lambda: 40 <= position(program) < 42, lambda: f"playback at 40 s, not {position(program)}")

        # The step buttons go back 3 s and forward 5 s (the shipped steps) and play on.
        program.click(program.find(name="复读后退F9", role="push button"))
        wait_for(lambda: 37 <= position(program) < 40, lambda: f"playback near 37 s, not {position(program)}")
        program.click(program.find(name="前进F12", role="push button"))
        wait_for(lambda: 42 <= position(program) < 45, lambda: f"playback near 42 s, not {position(program)}")
        check(program.player_property("pause") is False, "still playing")

        # The mark takes the position display's text.
        display = program.find(description="当前播放进度", role="label")
        wait_for(lambda: re.fullmatch(r"00:00:4\d", program.text(display)), "the display to show the position")
        program.click(program.find(name="标注时间F8", role="push button"))
        editor = program.find(name="文稿听打整理区", role="text")
        wait_for(lambda: re.fullmatch(r"-00:00:\d\d-", program.text(editor)), lambda: repr(program.text(editor)))
        mark = program.text(editor)
        marked = int(mark[7:9])

        # Move away, then double-click the mark: playback goes back there.
        program.click(time_box)
        program.key("ctrl+a")
        program.type("00:01:30")
        program.click(program.find(name="确定", role="label"))
        wait_for(lambda: position(program) >= 90, "playback at 90 s")
        program.double_click_text(editor, 5)
        wait_for(lambda: marked <= position(program) < marked + 2,
                 lambda: f"playback at the mark's {marked} s, not {position(program)}")
        check(program.text(editor) == mark, "the double-click leaves the text as it was")
        check(program.text(time_box) == mark[1:-1], f"the time box shows {program.text(time_box)!r}")


if __name__ == "__main__":
    run([test_play_step_mark_and_double_click])
