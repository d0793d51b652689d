"""Writes a small model shaped as the speech engine's SenseVoice models are
(their inputs, their output, the metadata the engine reads), with tokens.txt,
into a folder. No real recognition model can be had here: this one says 好 for
every frame within 6 dB-ish of the utterance's loudest, and nothing for the
quieter ones, so the words it gives depend on the sound it is given.

Usage: make_sense_voice_like_model.py FOLDER [--int8] [--word WORD]
(--int8 names it model.int8.onnx, as the published quantised models are;
--word gives another word than 好, such as a Traditional one.)"""

import os
import sys

import onnx
from onnx import TensorProto, helper

FEATURES = 560  # 80 mel bins, seven frames stacked
TOKENS = ["<blk>", "<|zh|>", "<|NEUTRAL|>", "<|Speech|>", "<|withitn|>", "好"]
WORD = len(TOKENS) - 1
LOUD_WITHIN = 6.0  # of the mean log-mel energy below the loudest frame


def constant(name, values, dims, kind=TensorProto.FLOAT):
    return helper.make_node("Constant", [], [name], value=helper.make_tensor(name + "_value", kind, dims, values))


def graph():
    vocabulary = len(TOKENS)
    # The four leading frames the engine reads as language, emotion, event and text
    # normalisation, then a frame for each input frame: 好 where loud, blank where quiet.
    prefix = []
    for frame in range(4):
        prefix += [100.0 if token == frame + 1 else -100.0 for token in range(vocabulary)]
    nodes = [
        helper.make_node("ReduceMean", ["x"], ["loudness"], axes=[2], keepdims=1),
        helper.make_node("ReduceMax", ["loudness"], ["loudest"], axes=[1], keepdims=1),
        constant("within", [LOUD_WITHIN], []),
        helper.make_node("Sub", ["loudest", "within"], ["threshold"]),
        helper.make_node("Sub", ["loudness", "threshold"], ["word"]),
        constant("zero", [0.0], []),
        helper.make_node("Mul", ["word", "zero"], ["blank"]),
        constant("never", [-100.0], []),
        helper.make_node("Add", ["blank", "never"], ["special"]),
        helper.make_node("Concat", ["blank", "special", "special", "special", "special", "word"], ["frames"], axis=2),
        constant("prefix_rows", prefix, [1, 4, vocabulary]),
        helper.make_node("Shape", ["x"], ["x_shape"]),
        helper.make_node("Slice", ["x_shape", "start", "one"], ["batch"]),
        constant("start", [0], [1], TensorProto.INT64),
        constant("one", [1], [1], TensorProto.INT64),
        constant("prefix_rest", [4, vocabulary], [2], TensorProto.INT64),
        helper.make_node("Concat", ["batch", "prefix_rest"], ["prefix_shape"], axis=0),
        helper.make_node("Expand", ["prefix_rows", "prefix_shape"], ["prefix"]),
        helper.make_node("Concat", ["prefix", "frames"], ["logits"], axis=1),
    ]
    # Constants before their use, as ONNX wants the nodes in order.
    ordered = [node for node in nodes if node.op_type == "Constant"] + [n for n in nodes if n.op_type != "Constant"]
    inputs = [
        helper.make_tensor_value_info("x", TensorProto.FLOAT, ["N", "T", FEATURES]),
        helper.make_tensor_value_info("x_length", TensorProto.INT32, ["N"]),
        helper.make_tensor_value_info("language", TensorProto.INT32, ["N"]),
        helper.make_tensor_value_info("text_norm", TensorProto.INT32, ["N"]),
    ]
    outputs = [helper.make_tensor_value_info("logits", TensorProto.FLOAT, ["N", "T4", vocabulary])]
    return helper.make_graph(ordered, "sense_voice_like", inputs, outputs)


def write(folder, int8, word):
    TOKENS[WORD] = word
    os.makedirs(folder, exist_ok=True)
    model = helper.make_model(graph(), opset_imports=[helper.make_opsetid("", 13)])
    model.ir_version = 8
    metadata = {
        "vocab_size": str(len(TOKENS)), "blank_id": "0", "lfr_window_size": "7", "lfr_window_shift": "6",
        "normalize_samples": "0", "with_itn": "14", "without_itn": "15", "lang_auto": "0", "lang_zh": "3",
        "lang_en": "4", "lang_ja": "11", "lang_ko": "12", "lang_yue": "7", "comment": "a test's stand-in",
        "neg_mean": ",".join(["0"] * FEATURES), "inv_stddev": ",".join(["1"] * FEATURES),
    }
    onnx.helper.set_model_props(model, metadata)
    onnx.checker.check_model(model)
    onnx.save(model, os.path.join(folder, "model.int8.onnx" if int8 else "model.onnx"))
    with open(os.path.join(folder, "tokens.txt"), "w", encoding="utf-8") as tokens:
        tokens.writelines(f"{token} {index}\n" for index, token in enumerate(TOKENS))


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    options = sys.argv[2:]
    write(sys.argv[1], "--int8" in options, options[options.index("--word") + 1] if "--word" in options else "好")
