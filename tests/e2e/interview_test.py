"""An interview typed with real keys: speaker names set in their dialog, a
speaker key in the editor, and the transcript exported through 导出… as subtitles."""

import os
import re
import tempfile

from tavrin_e2e import Program, check, run, wait_for, write_wav


def test_speaker_keys_and_the_export_menu(binary):
    with tempfile.TemporaryDirectory() as folder, Program(binary) as program:
        recording = os.path.join(folder, "interview.wav")
        write_wav(recording, 20)
        program.activate(program.main_window())
        program.load_recording(recording)

        program.open_menu_item("  设置  ")
        program.open_menu_item("说话人设置")
        dialog = program.window("说话人设置")
        program.click(program.find(name="Ctrl+1 的说话人", role="text"))
        program.type("Ann")
        program.key("Tab")
        program.type("Bob")
        program.click(program.find(name="保存设置", role="push button"))
        wait_for(lambda: program.window_gone(dialog), "the speakers' dialog to close")

        editor = program.find(name="文稿听打整理区", role="text")
        wait_for(lambda: program.focused(editor), "the editor to hold the focus")
        program.type_into(editor, "hello")
        program.key("ctrl+2")
        wait_for(lambda: re.fullmatch(r"hello\n-00:00:0\d- Bob：", program.text(editor)),
                 lambda: f"a paragraph for Bob, not {program.text(editor)!r}")
        program.type_into(editor, "hi")

        subtitles = os.path.join(folder, "interview.srt")
        program.open_menu_item("导出…")
        program.choose_file("导出文稿", subtitles)
        program.answer_box("已导出到")
        wait_for(lambda: os.path.exists(subtitles), "the subtitles")
        with open(subtitles, encoding="utf-8") as written:
            content = written.read()
        check(re.search(r"00:00:0\d,000 --> 00:00:20,000\nBob：hi\n", content), f"the cue: {content!r}")


if __name__ == "__main__":
    run([test_speaker_keys_and_the_export_menu])
