"""Start-up, the window, and closing through the question, with real input."""

import os
import re
import subprocess
import tempfile

from tavrin_e2e import MAIN_TITLE, Program, check, run, wait_for

CLOSE_QUESTION = "程序即将关闭，请确认你已经保存了文档！"
SETTINGS_MISSING = "文件缺失，请重新解压，请确保主程序文件和time.ini文件存在同一个文件夹下。"


def window_size_hints(window_id):
    hints = subprocess.run(["xprop", "-id", window_id, "WM_NORMAL_HINTS"], capture_output=True, text=True).stdout
    minimum = re.search(r"minimum size: (\d+) by (\d+)", hints)
    maximum = re.search(r"maximum size: (\d+) by (\d+)", hints)
    return (minimum and minimum.groups()), (maximum and maximum.groups())


def test_window_and_closing_question(binary):
    with Program(binary) as program:
        window = program.main_window()
        program.activate(window)
        app = program.application()
        main = program.find(name=MAIN_TITLE, role="frame", within=app)
        menu_bar = program.find(role="menu bar", within=main)
        page = program.find(role="frame", name="", within=main)
        page_box = page.get_extents(0)
        check((page_box.width, page_box.height) == (992, 635), f"client area is {page_box.width} x {page_box.height}")
        bar_box = menu_bar.get_extents(0)
        check(page_box.y == bar_box.y + bar_box.height, "the client area lies right under the menu bar")
        minimum, maximum = window_size_hints(window)
        check(minimum is not None and minimum == maximum, f"fixed size: minimum {minimum}, maximum {maximum}")
        actions = subprocess.run(["xprop", "-id", window, "_NET_WM_ALLOWED_ACTIONS"], capture_output=True,
                                 text=True).stdout
        check("_NET_WM_ACTION_MINIMIZE" in actions and "_NET_WM_ACTION_CLOSE" in actions, actions)
        check("MAXIMIZE" not in actions and "_NET_WM_ACTION_RESIZE" not in actions,
              f"the window manager may maximise or resize: {actions}")
        screen = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, text=True).stdout.split()
        frame = program.find(name=MAIN_TITLE, role="frame").get_extents(0)
        check(abs(frame.x + frame.width / 2 - int(screen[0]) / 2) <= 2, "centred across the screen")

        editor = program.find(name="文稿听打整理区", role="text")
        wait_for(lambda: program.focused(editor), "the editor to hold the focus")
        program.type("abc123")
        wait_for(lambda: program.text(editor) == "abc123", "the typed text")

        # Alt in the editor warns about system keys, so the focus moves on (Tab)
        # first. Alt+F4 then asks; No (Escape) keeps everything as it was.
        program.key("Tab")
        wait_for(lambda: not program.focused(editor), "the focus to leave the editor")
        program.key("alt+F4")
        question = program.window("提示")
        label = program.find(role="label", within=program.find(name="提示", role="alert"))
        check(CLOSE_QUESTION in program.text(label), f"question text: {program.text(label)!r}")
        program.key("Escape")
        wait_for(lambda: subprocess.run(["xdotool", "search", "--name", "^提示$"], capture_output=True).returncode != 0,
                 "the question to close")
        program.require_running()
        check(program.text(editor) == "abc123", "No keeps the text")

        # Closing again asks again; Yes (Enter) ends the program.
        program.activate(window)
        program.key("alt+F4")
        program.window("提示")
        program.key("Return")
        check(program.wait_exit() == 0, "Yes ends the program normally")
        del question


def test_settings_file_checked_beside_the_executable_only(binary):
    with tempfile.TemporaryDirectory() as working_folder:
        with open(os.path.join(working_folder, "time.ini"), "wb") as out:
            out.write(b"[x]\r\n")
        with Program(binary, settings=None, cwd=working_folder) as program:
            program.window("提示")
            label = program.find(role="label", within=program.find(name="提示", role="alert"))
            check(program.text(label) == SETTINGS_MISSING, f"message text: {program.text(label)!r}")
            program.key("Return")
            check(program.wait_exit() == 1, "the program ends after the message")

    with Program(binary, settings_name="TIME.INI", cwd="/") as program:
        program.main_window()
        program.require_running()


if __name__ == "__main__":
    run([test_window_and_closing_question, test_settings_file_checked_beside_the_executable_only])
