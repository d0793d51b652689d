"""Going through a transcript passage by passage with the real keys: the caret
read through the accessibility bus, playback through the player's own IPC."""

import os
import tempfile

from tavrin_e2e import RECORDING_LOADED, Atspi, Program, check, run, wait_for, write_wav, xdotool

BROUGHT_BACK = "已加载这个录音的文稿"
PASSAGES = ["-00:00:00-第一段", "-00:00:02-第二段", "-00:00:04-第三段", "-00:00:07-第四段"]
TEXT = "\n".join(PASSAGES)


def words_of(passage):
    """Where the words of a passage begin in the text: just after its mark."""
    return len("\n".join(PASSAGES[:passage])) + (1 if passage else 0) + len("-00:00:00-")


def load_with_transcript(program, folder, seconds, text):
    """A recording of `seconds` with its transcript beside it, loaded: the editor."""
    recording = os.path.join(folder, "interview.wav")
    write_wav(recording, seconds)
    with open(recording + ".txt", "wb") as transcript:
        transcript.write(text.replace("\n", "\r\n").encode("gbk"))
    program.activate(program.main_window())
    program.open_menu_item(" 加载音视频 ")
    program.choose_file("请选择录音文件", recording)
    program.answer_message(RECORDING_LOADED)
    program.answer_box(BROUGHT_BACK)
    editor = program.find(name="文稿听打整理区", role="text")
    wait_for(lambda: program.text(editor) == text, lambda: f"the transcript, not {program.text(editor)!r}")
    return editor


def test_keys_walk_hear_and_loop_the_passages(binary):
    with tempfile.TemporaryDirectory() as folder:
        with Program(binary) as program:
            editor = load_with_transcript(program, folder, 12, TEXT)
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


LOOPED = "-00:00:05- 一\n-00:00:15- 二\n-00:00:30- 三\n-00:00:45- 四"
LOOP_SECONDS = 10


def heard_on_the_loop(program, start, end):
    """Waits until libmpv loops from `start` to `end` and playback goes on inside
    it from its start; a loop left behind would pull playback back out at once."""
    loop = lambda: (program.player_property("ab-loop-a"), program.player_property("ab-loop-b"))
    wait_for(lambda: loop() == (start, end), lambda: f"the loop {start}–{end} s, not {loop()}", LOOP_SECONDS)
    seen = []
    position = lambda: seen.append(program.player_property("time-pos")) or seen[-1]
    wait_for(lambda: position() >= start + 0.5, lambda: f"playback on from {start} s: {seen}", LOOP_SECONDS)
    # Readings from before the seek landed may come first; once in, it stays in.
    inside = seen[next(index for index, at in enumerate(seen) if start <= at <= end):]
    check(all(start <= at <= end for at in inside), f"playback inside {start}–{end} s: {seen}")


def double_click_in_line(editor, line, offset):
    """Double-clicks the character at `offset`, on the `line`-th line of one-line
    paragraphs. The accessibility bus gives the editor's characters the first
    line's height on screen, whatever their line, so the line is counted down."""
    box = editor.get_text_iface().get_character_extents(offset, Atspi.CoordType.SCREEN)
    xdotool("mousemove", "--sync", str(box.x + max(1, box.width // 2)), str(box.y + line * box.height + box.height // 2))
    xdotool("click", "--repeat", "2", "--delay", "60", "1")


def test_a_passage_loop_goes_with_the_walk(binary):
    with tempfile.TemporaryDirectory() as folder, Program(binary) as program:
        editor = load_with_transcript(program, folder, 60, LOOPED)
        lines = LOOPED.split("\n")
        words = [len("\n".join(lines[:index])) + (1 if index else 0) + len("-00:00:00-") for index in range(4)]
        caret = lambda: (editor.clear_cache(), editor.get_text_iface().get_caret_offset())[1]
        position = lambda: program.player_property("time-pos")
        program.click(editor)
        program.key("ctrl+Home", "Down")
        wait_for(lambda: caret() == words[1] - len("-00:00:00-"), lambda: f"the caret in 二, not at {caret()}")
        program.key("F6")
        heard_on_the_loop(program, 15.0, 30.0)

        # Walked on and back, the loop goes with the caret and playback.
        for key, passage, start, end in (("F3", 2, 30.0, 45.0), ("F3", 3, 45.0, 60.0), ("F2", 2, 30.0, 45.0)):
            program.key(key)
            wait_for(lambda: caret() == words[passage], lambda: f"the caret at {words[passage]}, not {caret()}")
            heard_on_the_loop(program, start, end)
        # Heard again from its mark, still looped.
        wait_for(lambda: position() > 31.0, "playback past 31 s")
        program.key("F4")
        wait_for(lambda: position() < 30.8, lambda: f"playback back at 30 s, not {position()}")
        heard_on_the_loop(program, 30.0, 45.0)
        program.key("F6")
        wait_for(lambda: program.player_property("ab-loop-a") == "no", "the loop ended")

        # A jump to the next passage's mark, the loop's very end, ends the loop
        # rather than be pulled back into it.
        program.key("F2", "F6")
        heard_on_the_loop(program, 15.0, 30.0)
        double_click_in_line(editor, 2, words[2] - 5)
        wait_for(lambda: program.player_property("ab-loop-a") == "no", "the loop ended by the jump", LOOP_SECONDS)
        wait_for(lambda: position() > 30.5, lambda: f"playback on from 30 s, not at {position()}", LOOP_SECONDS)
        check(program.player_property("ab-loop-b") == "no", "no loop's end left behind")
        check(program.text(editor) == LOOPED, "the text untouched")


if __name__ == "__main__":
    run([test_keys_walk_hear_and_loop_the_passages, test_a_passage_loop_goes_with_the_walk])
