"""Typing Chinese through a real fcitx5: the editor is in Pinyin from the start,
after another window had the focus and after a dialog, and Space during a
composition chooses the word instead of playing."""

import os
import subprocess
import sys
import tempfile

import input_method
from input_method import PROGRAM_ENVIRONMENT, InputMethod
from tavrin_e2e import Program, check, run, wait_for, write_wav, xdotool

PINYIN = ("2", "pinyin")


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


def other_window():
    """xmessage's window, found by its title: it gives no process id."""
    ids = xdotool("search", "--onlyvisible", "--name", "^elsewhere$", check_result=False).split()
    return ids[-1] if ids else None


if __name__ == "__main__":
    if not input_method.available():
        print("SKIP: fcitx5 is not installed (packages fcitx5, fcitx5-chinese-addons, fcitx5-frontend-qt6)")
        sys.exit(77)
    run([test_pinyin_in_the_editor_from_start_to_playback])
