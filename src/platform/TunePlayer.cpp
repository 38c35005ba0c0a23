#include "platform/TunePlayer.h"

#include <QFileInfo>

#ifdef QUORVANE_HAVE_FLUIDSYNTH
#include <fluidsynth.h>
#endif
#ifdef QUORVANE_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

namespace platform {

std::optional<std::string> TunePlayer::soundFont() {
    for (const char* candidate :
         {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
          "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3"}) {
        if (QFileInfo(candidate).isReadable()) {
            return candidate;
        }
    }
    return std::nullopt;
}

#ifdef QUORVANE_HAVE_FLUIDSYNTH

#ifdef QUORVANE_HAVE_ALSA
namespace {
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}
}  // namespace
#endif

struct TunePlayer::Engine {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    fluid_player_t* player = nullptr;

    ~Engine() {
        stop();
        if (synth) {
            delete_fluid_synth(synth);
        }
        if (settings) {
            delete_fluid_settings(settings);
        }
    }

    // The audio thread renders through the player: it goes first, so that nothing renders
    // while the player is deleted.
    void stop() {
        if (driver) {
            delete_fluid_audio_driver(driver);
            driver = nullptr;
        }
        if (player) {
            fluid_player_stop(player);
            delete_fluid_player(player);
            player = nullptr;
            fluid_synth_all_sounds_off(synth, -1);  // no note left hanging
        }
    }

    // Null when any part is missing (no FluidSynth settings, no sound font).
    static std::unique_ptr<Engine> make(const std::string& renderFile) {
        // Silence is the only report of a failure: neither library may write to the terminal.
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
            fluid_set_log_function(level, nullptr, nullptr);
        }
#ifdef QUORVANE_HAVE_ALSA
        snd_lib_error_set_handler(&quietAlsa);
#endif
        const auto font = soundFont();
        if (!font) {
            return nullptr;
        }
        auto engine = std::make_unique<Engine>();
        engine->settings = new_fluid_settings();
        if (!engine->settings) {
            return nullptr;
        }
        if (!renderFile.empty()) {
            fluid_settings_setstr(engine->settings, "audio.driver", "file");
            fluid_settings_setstr(engine->settings, "audio.file.name", renderFile.c_str());
        }
        engine->synth = new_fluid_synth(engine->settings);
        if (!engine->synth || fluid_synth_sfload(engine->synth, font->c_str(), 1) == FLUID_FAILED) {
            return nullptr;
        }
        return engine;
    }
};

TunePlayer::TunePlayer(std::string renderFile) : renderFile_(std::move(renderFile)) {}

TunePlayer::~TunePlayer() {
    {
        std::lock_guard lock(mutex_);
        wanted_.clear();
    }
    if (maker_.joinable()) {
        maker_.join();
    }
    engine_.reset();
}

void TunePlayer::play(const QString& file) {
    std::lock_guard lock(mutex_);
    stopPlaying();
    wanted_ = file;
    if (engine_) {
        startWanted();
    } else if (!makingStarted_) {
        makingStarted_ = true;
        maker_ = std::thread([this] {
            auto engine = Engine::make(renderFile_);
            std::lock_guard lock(mutex_);
            engine_ = std::move(engine);
            startWanted();
        });
    }
}

void TunePlayer::stop() {
    std::lock_guard lock(mutex_);
    wanted_.clear();
    stopPlaying();
}

bool TunePlayer::playing() {
    std::lock_guard lock(mutex_);
    return engine_ && engine_->player &&
           fluid_player_get_status(engine_->player) == FLUID_PLAYER_PLAYING;
}

void TunePlayer::startWanted() {
    if (!engine_ || wanted_.isEmpty() || !QFileInfo(wanted_).isReadable()) {
        return;
    }
    // A player and an audio thread for each tune (no audio device: silence).
    Engine& e = *engine_;
    e.player = new_fluid_player(e.synth);
    if (!e.player ||
        fluid_player_add(e.player, QFileInfo(wanted_).filePath().toLocal8Bit().constData()) ==
            FLUID_FAILED ||
        fluid_player_play(e.player) == FLUID_FAILED ||
        !(e.driver = new_fluid_audio_driver(e.settings, e.synth))) {
        stopPlaying();
    }
}

void TunePlayer::stopPlaying() {
    if (engine_) {
        engine_->stop();
    }
}

#else  // built without FluidSynth: the About window is silent

struct TunePlayer::Engine {};
TunePlayer::TunePlayer(std::string renderFile) : renderFile_(std::move(renderFile)) {}
TunePlayer::~TunePlayer() = default;
void TunePlayer::play(const QString&) {}
void TunePlayer::stop() {}
bool TunePlayer::playing() {
    return false;
}
void TunePlayer::startWanted() {}
void TunePlayer::stopPlaying() {}

#endif

}  // namespace platform
