"""Going through a transcript passage by passage with the real keys: the caret
read through the accessibility bus, playback through the player's own IPC."""

import os
import tempfile

from tavrin_e2e import RECORDING_LOADED, Program, check, run, wait_for, write_wav

BROUGHT_BACK = "已加载这个录音的文稿"
PASSAGES = ["-00:00:00-第一段", "-00:00:02-第二段", "-00:00:04-第三段", "-00:00:07-第四段"]
TEXT = "\n".join(PASSAGES)


def words_of(passage):
    """Where the words of a passage begin in the text: just after its mark."""
    return len("\n".join(PASSAGES[:passage])) + (1 if passage else 0) + len("-00:00:00-")


def test_keys_walk_hear_and_loop_the_passages(binary):
    with tempfile.TemporaryDirectory() as folder:
        recording = os.path.join(folder, "interview.wav")
        write_wav(recording, 12)
        with open(recording + ".txt", "wb") as transcript:
            transcript.write(TEXT.replace("\n", "\r\n").encode("gbk"))
        with Program(binary) as program:
            program.activate(program.main_window())
            program.open_menu_item(" 加载音视频 ")
            program.choose_file("请选择录音文件", recording)
            program.answer_message(RECORDING_LOADED)
            program.answer_box(BROUGHT_BACK)
            editor = program.find(name="文稿听打整理区", role="text")
            wait_for(lambda: program.text(editor) == TEXT, lambda: f"the transcript, not {program.text(editor)!r}")
            position = lambda: program.player_property("time-pos")
            caret = lambda: (editor.clear_cache(), editor.get_text_iface().get_caret_offset())[1]
            program.click(editor)
            program.key("ctrl+Home")
            wait_for(lambda: caret() == 0, "the caret at the start")

            # Twice to the next passage: the third, in the text and in the recording.
            program.key("F3")
            program.key("F3")
            wait_for(lambda: caret() == words_of(2), lambda: f"the caret at {words_of(2)}, not {caret()}")
            wait_for(lambda: abs(position() - 4.0) < 0.05, lambda: f"playback at 4 s, not {position()}")
            check(program.player_property("pause") is True, "paused as before")

            # Heard on, then again from the passage's mark.
            program.key("space")
            wait_for(lambda: position() > 5.0, "playback past 5 s")
            program.key("F4")
            wait_for(lambda: 4.0 <= position() < 4.8, lambda: f"playback back at 4 s, not {position()}")
            check(program.player_property("pause") is False, "playing on")

            # Looped, playback comes round inside the passage, 4 s to 7 s.
            program.key("F6")
            check(program.player_property("ab-loop-a") == 4.0, "the loop from the third mark")
            check(program.player_property("ab-loop-b") == 7.0, "the loop to the fourth mark")
            seen = []
            wait_for(lambda: seen.append(position()) or (any(at > 6.5 for at in seen) and seen[-1] < 5.0),
                     "playback to come round")
            # Just after going round, libmpv's reading trails the jump by the silent output's buffer.
            check(all(3.4 <= seen_at <= 7.2 for seen_at in seen), f"inside the passage: {seen}")
            program.key("F6")
            wait_for(lambda: program.player_property("ab-loop-a") == "no", "the loop ended")
            check(program.text(editor) == TEXT, "the text untouched")


if __name__ == "__main__":
    run([test_keys_walk_hear_and_loop_the_passages])
