"""Loading a recording through its dialog, typing, saving beside it, and the
step-length dialog, with real input."""

import os
import tempfile

from tavrin_e2e import Program, check, run, wait_for, write_wav

LOADED = "加载音视频文件成功！点击保存文稿按钮后，可以通过按快捷键空格（回车）进行播放与暂停边听边整理了。"


def open_menu_item(program, caption):
    program.click(program.find(name=caption, role="menu item"))


def choose_file(program, dialog_title, path):
    """Types the path into the file dialog's name box and confirms, as a user would."""
    dialog_window = program.window(dialog_title)
    dialog = program.find(name=dialog_title, role="dialog")
    name_box = program.find(role="text", within=dialog)
    program.key("ctrl+a")
    program.type(path)
    wait_for(lambda: program.text(name_box) == path, f"the path typed into the file dialog ({program.text(name_box)!r})")
    # The first Return may only close the name box's completion list.
    for _ in range(3):
        program.key("Return")
        if wait_for(lambda: program.window_gone(dialog_window), "the file dialog to close", timeout=3,
                    raise_on_timeout=False):
            return
    raise AssertionError("the file dialog did not take the path")


def test_load_type_and_save(binary):
    with tempfile.TemporaryDirectory() as folder, Program(binary) as program:
        recording = os.path.join(folder, "meeting 1.wav")
        write_wav(recording, 30)
        program.activate(program.main_window())

        open_menu_item(program, " 加载音视频 ")
        choose_file(program, "请选择录音文件", recording)
        program.answer_message(LOADED)
        wait_for(lambda: program.player_property("path") == recording, "the player to open the recording")
        check(program.player_property("pause") is True, "loaded and not playing")

        editor = program.find(name="Memo1", role="text")
        wait_for(lambda: program.focused(editor), "the focus back in the editor")
        program.type_into(editor, "第一段 abc\nx1")

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
        open_menu_item(program, "  设置  ")
        open_menu_item(program, "前进后退步进时长")
        dialog = program.window("时长设置")
        box = program.find(name="Edit2", role="text")
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
