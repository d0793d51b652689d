"""Nothing typed is lost when the program is killed: the next start brings the
text back, with its recording at the position it had."""

import os
import tempfile
import time

from tavrin_e2e import Program, check, run, wait_for, write_wav

RECOVERED = "上次没有正常退出，未保存的文稿已恢复。请及时保存。"


def test_killed_program_gives_back_the_text_and_the_recording(binary):
    with tempfile.TemporaryDirectory() as folder:
        state = {"XDG_STATE_HOME": os.path.join(folder, "state")}
        recording = os.path.join(folder, "interview.wav")
        write_wav(recording, 60)
        typed = "第一句，听打\nsecond-line"  # Space plays: none typed
        with Program(binary, env=state) as program:
            program.activate(program.main_window())
            program.load_recording(recording)
            time_box = program.find(name="用时间定位语音", role="text")
            program.click(time_box)
            program.key("ctrl+a")
            program.type("00:00:12")
            program.click(program.find(name="确定", role="label"))
            wait_for(lambda: (program.player_property("time-pos") or 0) >= 12, "playback at 12 s")
            editor = program.find(name="文稿听打整理区", role="text")
            program.click(editor)
            program.key("space")
            wait_for(lambda: program.player_property("pause") is True, "Space to pause")
            position = program.player_property("time-pos")
            program.type_into(editor, typed)
            time.sleep(0.5)  # the crash comes half a second after the last key
            program.process.kill()
            program.process.wait()
        journals = os.path.join(state["XDG_STATE_HOME"], "tavrin", "journals")
        check(len(os.listdir(journals)) == 1, f"one journal left by the killed program: {os.listdir(journals)}")

        with Program(binary, env=state) as program:
            program.activate(program.main_window())
            program.answer_message(RECOVERED)
            editor = program.find(name="文稿听打整理区", role="text")
            wait_for(lambda: program.text(editor) == typed, lambda: f"the typed text, not {program.text(editor)!r}")
            wait_for(lambda: program.player_property("path") == recording, "the recording loaded again")
            check(abs(program.player_property("time-pos") - position) < 1.5,
                  f"the recording at {position:.1f} s, not {program.player_property('time-pos')}")
            program.click(editor)
            program.key("ctrl+s")
            transcript = recording + ".txt"
            wait_for(lambda: os.path.exists(transcript), "the transcript beside the recording")
            with open(transcript, "rb") as saved:
                content = saved.read()
            check(content == typed.replace("\n", "\r\n").encode("gbk"), f"saved bytes: {content!r}")
            wait_for(lambda: os.listdir(journals) == [], lambda: f"the journal retired, not {os.listdir(journals)}")


if __name__ == "__main__":
    run([test_killed_program_gives_back_the_text_and_the_recording])
