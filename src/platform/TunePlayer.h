#pragma once

#include <QString>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace platform {

// Plays MIDI files through FluidSynth with a General MIDI sound font. The synthesiser and its
// sound font are made on a thread of their own at the first tune and kept; the audio runs on
// FluidSynth's own thread, so the caller never waits. Without FluidSynth, a sound font or an
// audio device every call does nothing and nothing is reported.
class TunePlayer {
  public:
    // With `renderFile`, the sound goes to that WAV file instead of the sound card.
    explicit TunePlayer(std::string renderFile = {});
    ~TunePlayer();
    TunePlayer(const TunePlayer&) = delete;
    TunePlayer& operator=(const TunePlayer&) = delete;

    void play(const QString& file);  // from the start
    void stop();
    bool playing();

    // The General MIDI sound font the player uses: the small one the build installs first.
    static std::optional<std::string> soundFont();

  private:
    struct Engine;
    void startWanted();  // with mutex_ held
    void stopPlaying();  // with mutex_ held

    const std::string renderFile_;
    std::mutex mutex_;
    std::thread maker_;               // makes engine_ once
    std::unique_ptr<Engine> engine_;  // null until made, or when it cannot be
    bool makingStarted_ = false;
    QString wanted_;  // the tune that should be playing; empty for silence
};

}  // namespace platform
