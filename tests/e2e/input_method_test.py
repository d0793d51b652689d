"""Typing Chinese through a real fcitx5: the editor is in Pinyin from the start,
after another window had the focus and after a dialog, and Space during a
composition chooses the word instead of playing; after loading a recording
through the file dialog at every start, where the user's own switch holds."""

import os
import subprocess
import sys
import tempfile
import time

import input_method
from input_method import PROGRAM_ENVIRONMENT, InputMethod
from tavrin_e2e import Program, check, run, wait_for, write_wav, xdotool

PINYIN = ("2", "pinyin")
# Starts of the program in a row: a fault that shows at one start in five
# passes all of them less than once in fourteen runs.
STARTS = 12
# How long the program goes on checking a switch it asked for: three answers, 100 ms apart.
PROGRAM_CHECKS_SECONDS = 0.3


def wait_for_pinyin(what):
    wait_for(lambda: InputMethod.state() == PINYIN, lambda: f"Pinyin {what}, not {InputMethod.state()}")


def test_pinyin_in_the_editor_from_start_to_playback(binary):
    with (InputMethod(), tempfile.TemporaryDirectory() as folder,
          Program(binary, env=PROGRAM_ENVIRONMENT) as program):
        main = program.main_window()
        program.activate(main)
        editor = program.find(name="文稿听打整理区", role="text")
        wait_for(lambda: program.focused(editor), "the editor to hold the focus")
        wait_for_pinyin("at start")

        # Another window takes the focus; back in the program the editor is in Pinyin again.
        InputMethod.deactivate()
        wait_for(lambda: InputMethod.state()[0] == "1", "the editor out of Pinyin")
        with subprocess.Popen(["xmessage", "-title", "elsewhere", "another window"]) as other:
            try:
                program.activate(wait_for(other_window, "the other window"))
                program.activate(main)
                wait_for_pinyin("after another window had the focus")
            finally:
                other.kill()

        # The step dialog's boxes are in Pinyin, and so is the editor after it.
        program.open_menu_item("  设置  ")
        program.open_menu_item("前进后退步进时长")
        dialog = program.window("时长设置")
        box = program.find(name="后退秒数（F9）", role="text")
        wait_for(lambda: program.focused(box), "the focus in the dialog's F9 box")
        InputMethod.deactivate()  # so that only the box's own request can bring Pinyin back
        program.key("Tab")
        program.key("Tab")
        wait_for(lambda: program.focused(program.find(name="前进秒数（F12）", role="text")), "the F12 box")
        wait_for_pinyin("in the dialog")
        program.key("alt+F4")
        wait_for(lambda: program.window_gone(dialog), "the dialog to close")
        wait_for(lambda: program.focused(editor), "the focus back in the editor")
        wait_for_pinyin("after the step dialog")

        # After the file dialog too, whose name box is not asked for Chinese.
        recording = os.path.join(folder, "talk.wav")
        write_wav(recording, 60)
        program.load_recording(recording)
        wait_for(lambda: program.focused(editor), "the focus back in the editor")
        wait_for_pinyin("after the dialog")

        # Space chooses the candidate of a composition and leaves playback alone.
        program.type("nihao")
        program.key("space")
        wait_for(lambda: program.text(editor) == "你好", lambda: f"你好 typed, not {program.text(editor)!r}")
        check(program.player_property("pause") is True, "Space during the composition did not play")
        program.key("space")
        wait_for(lambda: program.player_property("pause") is False, "the next Space to start playback")
        check(program.text(editor) == "你好", f"the next Space types nothing: {program.text(editor)!r}")


def test_pinyin_after_loading_through_the_dialog_at_every_start(binary):
    with InputMethod(), tempfile.TemporaryDirectory() as folder:
        recording = os.path.join(folder, "talk.wav")
        write_wav(recording, 20)
        for start in range(1, STARTS + 1):
            with Program(binary, env=PROGRAM_ENVIRONMENT) as program:
                program.activate(program.main_window())
                editor = program.find(name="文稿听打整理区", role="text")
                program.load_recording(recording)
                program.click(editor)
                wait_for(lambda: program.focused(editor), "the editor to hold the focus")
                wait_for_pinyin(f"in the editor after the dialog, start {start}")

                # The user switches off and on again, as with the switch key: the
                # switch holds, nothing of the program's turns it back.
                InputMethod.deactivate()
                wait_for(lambda: InputMethod.state()[0] == "1", f"the editor out of Pinyin, start {start}")
                InputMethod.activate()
                wait_for_pinyin(f"switched on by the user, start {start}")
                check_pinyin_holds(f"start {start}")


def check_pinyin_holds(when):
    """Pinyin stays for well longer than the program goes on checking a switch it asked for."""
    until = time.monotonic() + 4 * PROGRAM_CHECKS_SECONDS
    while time.monotonic() < until:
        state = InputMethod.state()
        check(state == PINYIN, f"Pinyin switched back to {state}, {when}")
        time.sleep(0.05)


def other_window():
    """xmessage's window, found by its title: it gives no process id."""
    ids = xdotool("search", "--onlyvisible", "--name", "^elsewhere$", check_result=False).split()
    return ids[-1] if ids else None


if __name__ == "__main__":
    if not input_method.available():
        print("SKIP: fcitx5 is not installed (packages fcitx5, fcitx5-chinese-addons, fcitx5-frontend-qt6)")
        sys.exit(77)
    run([test_pinyin_in_the_editor_from_start_to_playback, test_pinyin_after_loading_through_the_dialog_at_every_start])
