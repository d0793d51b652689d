#pragma once

#include "waveform/envelope.h"

#include <QObject>
#include <QString>

#include <memory>

namespace tavrin {

class EnvelopeCache;

// Computes a recording's envelope on a thread of its own, at the lowest priority,
// for the window's thread this lives on: from the cache when it holds it, else
// by decoding, with the envelope so far told as it grows.
class WaveformBuilder : public QObject {
    Q_OBJECT
public:
    explicit WaveformBuilder(QObject* parent = nullptr);
    // Envelopes are kept in `cacheFolder` instead of the user's cache folder.
    explicit WaveformBuilder(const QString& cacheFolder, QObject* parent = nullptr);
    // Cancels any computing and waits for its thread, which stops within a packet.
    ~WaveformBuilder() override;

    // Starts on `path`, cancelling the recording before: nothing more is told of it.
    void start(const QString& path);
    // Stops computing; nothing more is told.
    void cancel();

    QString path() const { return path_; }
    // The latest envelope told (empty before the first).
    Envelope envelope() const { return envelope_; }

Q_SIGNALS:
    // The envelope so far, at most about ten times a second. The first one after
    // the quick pass covers the whole length, coarsely.
    void progress(const tavrin::Envelope& envelope);
    // The whole envelope, decoded or from the cache.
    void finished(const tavrin::Envelope& envelope);
    // FFmpeg could not decode the recording (or it could not be read).
    void failed(const QString& path);

private:
    struct Job;
    enum class Report {
        Progress,
        Finished,
        Failed
    };

    void run(Job& job, const QString& path, quint64 generation);
    void compute(Job& job, const QString& path, quint64 generation);
    void post(quint64 generation, Report report, const Envelope& envelope);
    void receive(quint64 generation, Report report, const Envelope& envelope);

    std::unique_ptr<EnvelopeCache> cache_;
    std::unique_ptr<Job> job_;
    quint64 generation_ = 0;
    QString path_;
    Envelope envelope_;
};

} // namespace tavrin
