// Our own declaration of the part of the sherpa-onnx C API that the program
// calls. It mirrors sherpa-onnx 1.13.8 (git 11afbd00, the v1.13.8 tag, as
// shipped in the npm package sherpa-onnx-linux-x64@1.13.8 as
// libsherpa-onnx-c-api.so). Upstream: sherpa-onnx/c-api/c-api.h.
//
// Only what we call is declared. Every struct that we fill in or read, and
// every struct nested in one of those, is declared in full, with upstream's
// field names, types and order, because the library reads and writes them by
// offset. Do not reorder, remove or "tidy" fields. If the library is moved to
// another sherpa-onnx version, check every struct here against that version's
// c-api.h first. The sizes are checked at compile time for x86-64 Linux (LP64)
// at the bottom of this file.
//
// The library is opened at run time (speech_engine.h): the functions are declared
// here for their types only.
//
// Conventions of the library (1.13.8):
//  - Zero-initialise every config struct ({} or memset) and set what you need.
//    A zero/NULL field means "use the library default" for most fields
//    (strings default to "", numbers to the upstream defaults).
//  - Handles are opaque; each Create*/Get*/Front result is freed with the
//    matching Destroy* function, never with free()/delete.
//  - Create* functions return NULL when the config is invalid (for example a
//    model file that does not exist). They log the reason to stderr.
//    But a model file that exists and is not a valid model makes them throw
//    (onnxruntime's Ort::Exception, a std::exception; catchable around the
//    call), and some checks (e.g. SenseVoice metadata missing, VAD buffer
//    size <= 0) call exit(-1) inside the library.
//  - All logging goes to stderr (fd 2), as "<file>:<function>:<line> <text>".
//    There is no log callback.

#pragma once

#include <stdint.h>

extern "C" {

// ---------------------------------------------------------------------------
// Version information
// ---------------------------------------------------------------------------

// Static strings owned by the library; do not free.
const char* SherpaOnnxGetVersionStr(void); // "1.13.8"
const char* SherpaOnnxGetGitSha1(void);    // "11afbd00"
const char* SherpaOnnxGetGitDate(void);

// ---------------------------------------------------------------------------
// Voice activity detection
// ---------------------------------------------------------------------------

typedef struct SherpaOnnxSileroVadModelConfig {
    const char* model;          // path to silero_vad.onnx
    float threshold;            // 0 -> 0.5
    float min_silence_duration; // seconds; 0 -> 0.5
    float min_speech_duration;  // seconds; 0 -> 0.25
    int32_t window_size;        // samples; 0 -> 512
    float max_speech_duration;  // seconds; 0 -> 20
} SherpaOnnxSileroVadModelConfig;

// Embedded in SherpaOnnxVadModelConfig; we leave it zeroed.
typedef struct SherpaOnnxTenVadModelConfig {
    const char* model;
    float threshold;
    float min_silence_duration;
    float min_speech_duration;
    int32_t window_size; // 0 -> 256
    float max_speech_duration;
} SherpaOnnxTenVadModelConfig;

typedef struct SherpaOnnxVadModelConfig {
    SherpaOnnxSileroVadModelConfig silero_vad;
    int32_t sample_rate;  // 0 -> 16000
    int32_t num_threads;  // 0 -> 1
    const char* provider; // NULL -> "cpu"
    int32_t debug;        // non-zero: print the config to stderr
    SherpaOnnxTenVadModelConfig ten_vad;
} SherpaOnnxVadModelConfig;

// One detected speech segment. Owned by the caller of
// SherpaOnnxVoiceActivityDetectorFront(); free with
// SherpaOnnxDestroySpeechSegment().
typedef struct SherpaOnnxSpeechSegment {
    int32_t start;  // index of the segment's first sample, in samples
                    // (at config.sample_rate) from the first sample accepted
                    // since creation or the last Reset(). Divide by the
                    // sample rate for seconds. After Flush(), call Reset()
                    // before new input: without it later starts drifted.
    float* samples; // copy of the segment's samples
    int32_t n;      // number of samples
} SherpaOnnxSpeechSegment;

typedef struct SherpaOnnxVoiceActivityDetector SherpaOnnxVoiceActivityDetector;

// buffer_size_in_seconds must be > 0 (0 makes the library call exit(-1));
// keep it above silero_vad.max_speech_duration.
const SherpaOnnxVoiceActivityDetector* SherpaOnnxCreateVoiceActivityDetector(const SherpaOnnxVadModelConfig* config,
                                                                             float buffer_size_in_seconds);

void SherpaOnnxDestroyVoiceActivityDetector(const SherpaOnnxVoiceActivityDetector* p);

// samples: mono float PCM in [-1, 1] at config.sample_rate (no resampling).
// Feed window_size samples per call (as upstream's examples do; smaller
// chunks gave the same result in our test): the start/end decision is taken
// once per call, so larger chunks (e.g. 1 s) shift or merge segments.
void SherpaOnnxVoiceActivityDetectorAcceptWaveform(const SherpaOnnxVoiceActivityDetector* p, const float* samples,
                                                   int32_t n);

// 1 if no finished segment is queued.
int32_t SherpaOnnxVoiceActivityDetectorEmpty(const SherpaOnnxVoiceActivityDetector* p);

// 1 while the detector is inside speech.
int32_t SherpaOnnxVoiceActivityDetectorDetected(const SherpaOnnxVoiceActivityDetector* p);

void SherpaOnnxVoiceActivityDetectorPop(const SherpaOnnxVoiceActivityDetector* p);

void SherpaOnnxVoiceActivityDetectorClear(const SherpaOnnxVoiceActivityDetector* p);

// Copy of the oldest queued segment, or NULL if none is queued.
const SherpaOnnxSpeechSegment* SherpaOnnxVoiceActivityDetectorFront(const SherpaOnnxVoiceActivityDetector* p);

void SherpaOnnxDestroySpeechSegment(const SherpaOnnxSpeechSegment* p);

void SherpaOnnxVoiceActivityDetectorReset(const SherpaOnnxVoiceActivityDetector* p);

// Ends the current segment (if in speech) so it is queued; call at the end
// of the input.
void SherpaOnnxVoiceActivityDetectorFlush(const SherpaOnnxVoiceActivityDetector* p);

// ---------------------------------------------------------------------------
// Offline (non-streaming) recognition
// ---------------------------------------------------------------------------

typedef struct SherpaOnnxFeatureConfig {
    int32_t sample_rate; // 0 -> 16000
    int32_t feature_dim; // 0 -> 80
} SherpaOnnxFeatureConfig;

typedef struct SherpaOnnxOfflineTransducerModelConfig {
    const char* encoder;
    const char* decoder;
    const char* joiner;
} SherpaOnnxOfflineTransducerModelConfig;

typedef struct SherpaOnnxOfflineParaformerModelConfig {
    const char* model;
} SherpaOnnxOfflineParaformerModelConfig;

typedef struct SherpaOnnxOfflineNemoEncDecCtcModelConfig {
    const char* model;
} SherpaOnnxOfflineNemoEncDecCtcModelConfig;

typedef struct SherpaOnnxOfflineWhisperModelConfig {
    const char* encoder;
    const char* decoder;
    const char* language;
    const char* task;
    int32_t tail_paddings; // 0 -> -1
    int32_t enable_token_timestamps;
    int32_t enable_segment_timestamps;
} SherpaOnnxOfflineWhisperModelConfig;

typedef struct SherpaOnnxOfflineCanaryModelConfig {
    const char* encoder;
    const char* decoder;
    const char* src_lang;
    const char* tgt_lang;
    int32_t use_pnc;
} SherpaOnnxOfflineCanaryModelConfig;

typedef struct SherpaOnnxOfflineCohereTranscribeModelConfig {
    const char* encoder;
    const char* decoder;
    const char* language;
    int32_t use_punct;
    int32_t use_itn;
} SherpaOnnxOfflineCohereTranscribeModelConfig;

typedef struct SherpaOnnxOfflineFireRedAsrModelConfig {
    const char* encoder;
    const char* decoder;
} SherpaOnnxOfflineFireRedAsrModelConfig;

typedef struct SherpaOnnxOfflineFireRedAsrCtcModelConfig {
    const char* model;
} SherpaOnnxOfflineFireRedAsrCtcModelConfig;

typedef struct SherpaOnnxOfflineMoonshineModelConfig {
    const char* preprocessor;
    const char* encoder;
    const char* uncached_decoder;
    const char* cached_decoder;
    const char* merged_decoder;
} SherpaOnnxOfflineMoonshineModelConfig;

typedef struct SherpaOnnxOfflineTdnnModelConfig {
    const char* model;
} SherpaOnnxOfflineTdnnModelConfig;

typedef struct SherpaOnnxOfflineLMConfig {
    const char* model;
    float scale; // 0 -> 1.0
} SherpaOnnxOfflineLMConfig;

typedef struct SherpaOnnxOfflineSenseVoiceModelConfig {
    const char* model;    // model.onnx / model.int8.onnx
    const char* language; // "auto", "zh", "en", "ja", "ko", "yue"; NULL -> ""
    int32_t use_itn;      // 1: inverse text normalisation (punctuation etc.)
} SherpaOnnxOfflineSenseVoiceModelConfig;

typedef struct SherpaOnnxOfflineDolphinModelConfig {
    const char* model;
} SherpaOnnxOfflineDolphinModelConfig;

typedef struct SherpaOnnxOfflineZipformerCtcModelConfig {
    const char* model;
} SherpaOnnxOfflineZipformerCtcModelConfig;

typedef struct SherpaOnnxOfflineWenetCtcModelConfig {
    const char* model;
} SherpaOnnxOfflineWenetCtcModelConfig;

typedef struct SherpaOnnxOfflineOmnilingualAsrCtcModelConfig {
    const char* model;
} SherpaOnnxOfflineOmnilingualAsrCtcModelConfig;

typedef struct SherpaOnnxOfflineFunASRNanoModelConfig {
    const char* encoder_adaptor;
    const char* llm;
    const char* embedding;
    const char* tokenizer;
    const char* system_prompt;
    const char* user_prompt;
    int32_t max_new_tokens;
    float temperature;
    float top_p;
    int32_t seed;
    const char* language;
    int32_t itn;
    const char* hotwords;
} SherpaOnnxOfflineFunASRNanoModelConfig;

typedef struct SherpaOnnxOfflineQwen3ASRModelConfig {
    const char* conv_frontend;
    const char* encoder;
    const char* decoder;
    const char* tokenizer;
    int32_t max_total_len;
    int32_t max_new_tokens;
    float temperature;
    float top_p;
    int32_t seed;
    const char* hotwords;
} SherpaOnnxOfflineQwen3ASRModelConfig;

typedef struct SherpaOnnxOfflineMedAsrCtcModelConfig {
    const char* model;
} SherpaOnnxOfflineMedAsrCtcModelConfig;

// Set exactly one model family (for us: sense_voice) plus tokens.
typedef struct SherpaOnnxOfflineModelConfig {
    SherpaOnnxOfflineTransducerModelConfig transducer;
    SherpaOnnxOfflineParaformerModelConfig paraformer;
    SherpaOnnxOfflineNemoEncDecCtcModelConfig nemo_ctc;
    SherpaOnnxOfflineWhisperModelConfig whisper;
    SherpaOnnxOfflineTdnnModelConfig tdnn;

    const char* tokens;        // tokens.txt
    int32_t num_threads;       // 0 -> 1
    int32_t debug;             // non-zero: print the whole config to stderr
    const char* provider;      // NULL -> "cpu"
    const char* model_type;    // NULL -> "" (detected from the model)
    const char* modeling_unit; // NULL -> "cjkchar"
    const char* bpe_vocab;
    const char* telespeech_ctc;
    SherpaOnnxOfflineSenseVoiceModelConfig sense_voice;
    SherpaOnnxOfflineMoonshineModelConfig moonshine;
    SherpaOnnxOfflineFireRedAsrModelConfig fire_red_asr;
    SherpaOnnxOfflineDolphinModelConfig dolphin;
    SherpaOnnxOfflineZipformerCtcModelConfig zipformer_ctc;
    SherpaOnnxOfflineCanaryModelConfig canary;
    SherpaOnnxOfflineWenetCtcModelConfig wenet_ctc;
    SherpaOnnxOfflineOmnilingualAsrCtcModelConfig omnilingual;
    SherpaOnnxOfflineMedAsrCtcModelConfig medasr;
    SherpaOnnxOfflineFunASRNanoModelConfig funasr_nano;
    SherpaOnnxOfflineFireRedAsrCtcModelConfig fire_red_asr_ctc;
    SherpaOnnxOfflineQwen3ASRModelConfig qwen3_asr;
    SherpaOnnxOfflineCohereTranscribeModelConfig cohere_transcribe;
} SherpaOnnxOfflineModelConfig;

typedef struct SherpaOnnxHomophoneReplacerConfig {
    const char* dict_dir; // unused, kept by upstream for ABI compatibility
    const char* lexicon;
    const char* rule_fsts;
} SherpaOnnxHomophoneReplacerConfig;

typedef struct SherpaOnnxOfflineRecognizerConfig {
    SherpaOnnxFeatureConfig feat_config;
    SherpaOnnxOfflineModelConfig model_config;
    SherpaOnnxOfflineLMConfig lm_config;

    const char* decoding_method; // NULL -> "greedy_search"
    int32_t max_active_paths;    // 0 -> 4

    const char* hotwords_file;
    float hotwords_score; // 0 -> 1.5
    const char* rule_fsts;
    const char* rule_fars;
    float blank_penalty;

    SherpaOnnxHomophoneReplacerConfig hr;
} SherpaOnnxOfflineRecognizerConfig;

// Allocated by SherpaOnnxGetOfflineStreamResult(); free with
// SherpaOnnxDestroyOfflineRecognizerResult(). Any pointer may be NULL when
// the model does not produce that item.
typedef struct SherpaOnnxOfflineRecognizerResult {
    const char* text;
    float* timestamps;             // count entries, seconds, or NULL
    int32_t count;                 // number of tokens
    const char* tokens;            // tokens, each '\0'-terminated, back to back
    const char* const* tokens_arr; // count pointers into tokens
    const char* json;
    const char* lang;                // SenseVoice: e.g. "<|en|>"
    const char* emotion;             // SenseVoice: e.g. "<|NEUTRAL|>"
    const char* event;               // SenseVoice: e.g. "<|Speech|>"
    float* durations;                // count entries (TDT models), or NULL
    float* ys_log_probs;             // count entries, or NULL
    const float* segment_timestamps; // segment_count entries, or NULL
    const float* segment_durations;  // segment_count entries, or NULL
    const char* segment_texts;
    const char* const* segment_texts_arr; // segment_count pointers
    int32_t segment_count;
} SherpaOnnxOfflineRecognizerResult;

typedef struct SherpaOnnxOfflineRecognizer SherpaOnnxOfflineRecognizer;
typedef struct SherpaOnnxOfflineStream SherpaOnnxOfflineStream;

// NULL if the config is invalid (e.g. a model file is missing).
const SherpaOnnxOfflineRecognizer* SherpaOnnxCreateOfflineRecognizer(const SherpaOnnxOfflineRecognizerConfig* config);

void SherpaOnnxDestroyOfflineRecognizer(const SherpaOnnxOfflineRecognizer* recognizer);

const SherpaOnnxOfflineStream* SherpaOnnxCreateOfflineStream(const SherpaOnnxOfflineRecognizer* recognizer);

void SherpaOnnxDestroyOfflineStream(const SherpaOnnxOfflineStream* stream);

// Call once per stream with the whole utterance (mono float PCM in [-1, 1]);
// the library resamples if sample_rate differs from feat_config.sample_rate.
void SherpaOnnxAcceptWaveformOffline(const SherpaOnnxOfflineStream* stream, int32_t sample_rate, const float* samples,
                                     int32_t n);

void SherpaOnnxDecodeOfflineStream(const SherpaOnnxOfflineRecognizer* recognizer,
                                   const SherpaOnnxOfflineStream* stream);

const SherpaOnnxOfflineRecognizerResult* SherpaOnnxGetOfflineStreamResult(const SherpaOnnxOfflineStream* stream);

void SherpaOnnxDestroyOfflineRecognizerResult(const SherpaOnnxOfflineRecognizerResult* r);

} // extern "C"

// ---------------------------------------------------------------------------
// Layout checks (x86-64 Linux). The numbers are what libsherpa-onnx-c-api.so
// 1.13.8 itself uses: read off its machine code (the offsets its config
// conversion reads, the sizes its result/segment allocation and sized delete
// use).
// ---------------------------------------------------------------------------
#if defined(__x86_64__) && defined(__linux__)
static_assert(sizeof(SherpaOnnxVadModelConfig) == 88);
static_assert(sizeof(SherpaOnnxSpeechSegment) == 24);
static_assert(sizeof(SherpaOnnxOfflineRecognizerResult) == 128);
static_assert(sizeof(SherpaOnnxOfflineModelConfig) == 504);
static_assert(sizeof(SherpaOnnxOfflineRecognizerConfig) == 608);
#endif
