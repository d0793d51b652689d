"""Loading a recording through its dialog, typing, saving beside it, and the
step-length dialog, with real input."""

import os
import tempfile

from tavrin_e2e import Program, check, run, wait_for, write_wav


def test_load_type_and_save(binary):
    with tempfile.TemporaryDirectory() as folder, Program(binary) as program:
        recording = os.path.join(folder, "meeting 1.wav")
        write_wav(recording, 30)
        program.activate(program.main_window())

        program.load_recording(recording)
        check(program.player_property("pause") is True, "loaded and not playing")

        editor = program.find(name="文稿听打整理区", role="text")
        wait_for(lambda: program.focused(editor), "the focus back in the editor")
        program.type_into(editor, "第一段")
        program.key("F1")  # Space plays and pauses; F1 types the space
        wait_for(lambda: program.text(editor) == "第一段 ", lambda: repr(program.text(editor)))
        program.type_into(editor, "abc\nx1")

        program.click(program.find(name="保存文稿Ctrl+S", role="push button"))
        transcript = recording + ".txt"
        wait_for(lambda: os.path.exists(transcript), "the transcript beside the recording")
        with open(transcript, "rb") as saved:
            content = saved.read()
        check(content == "第一段 abc\r\nx1".encode("gbk"), f"saved bytes: {content!r}")
        check(sorted(os.listdir(folder)) == ["meeting 1.wav", "meeting 1.wav.txt"], str(os.listdir(folder)))


def test_step_dialog_writes_the_settings_file(binary):
    with Program(binary) as program:
        window = program.main_window()
        program.activate(window)
        program.open_menu_item("  设置  ")
        program.open_menu_item("前进后退步进时长")
        dialog = program.window("时长设置")
        box = program.find(name="后退秒数（F9）", role="text")
        wait_for(lambda: program.text(box) == "3", "the dialog to show the F9 step")
        check(program.focused(box), "the focus starts in the F9 box")
        program.key("ctrl+a")
        program.type("7")
        program.key("Tab")
        program.key("space")  # presses 保存设置
        program.answer_message("更改时间成功!")
        settings = os.path.join(program.folder, "Time.ini")
        expected = b"[\xca\xb1\xbc\xe4]\r\nshijian1=5\r\nshijian2=7\r\nshijian3=10\r\n"
        wait_for(lambda: open(settings, "rb").read() == expected, "the new step in Time.ini")
        wait_for(lambda: program.window_gone(dialog), "the dialog to close")


if __name__ == "__main__":
    run([test_load_type_and_save, test_step_dialog_writes_the_settings_file])
