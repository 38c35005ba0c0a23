// The About window's tune through the real synthesiser: the shipped file is a few seconds of
// sound, the player plays it until stopped, and a missing file is silence.
#include <fluidsynth.h>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <cstring>

#include "platform/TunePlayer.h"

using platform::TunePlayer;

namespace {

const QString Tune = QUORVANE_TUNE_FILE;

// The 16-bit samples of a WAV file's data chunk.
std::vector<std::int16_t> samples(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    const qsizetype data = bytes.indexOf("data");
    if (data < 0) {
        return {};
    }
    std::vector<std::int16_t> values(static_cast<std::size_t>(bytes.size() - data - 8) / 2);
    std::memcpy(values.data(), bytes.constData() + data + 8, values.size() * 2);
    return values;
}

// How long until the last sample louder than -40 dB.
double audibleSeconds(const std::vector<std::int16_t>& values, double rate) {
    for (std::size_t i = values.size(); i-- > 0;) {
        if (std::abs(values[i]) > 328) {
            return double(i / 2) / rate;  // two channels
        }
    }
    return 0;
}

double rms(const std::vector<std::int16_t>& values) {
    double sum = 0;
    for (const std::int16_t value : values) {
        sum += double(value) * value;
    }
    return values.empty() ? 0 : std::sqrt(sum / double(values.size())) / 32768.0;
}

}  // namespace

class TestTune : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        if (!TunePlayer::soundFont()) {
            QSKIP("no General MIDI sound font installed");
        }
    }

    // Rendered as fast as it goes: from the start to the end of the tune's last event.
    void theTuneIsAFewSecondsOfSound() {
        QTemporaryDir dir;
        const QByteArray wav = dir.filePath("tune.wav").toLocal8Bit();
        fluid_settings_t* settings = new_fluid_settings();
        fluid_settings_setstr(settings, "audio.file.name", wav.constData());
        fluid_settings_setstr(settings, "player.timing-source", "sample");
        fluid_settings_setint(settings, "synth.lock-memory", 0);
        fluid_synth_t* synth = new_fluid_synth(settings);
        QVERIFY(fluid_synth_sfload(synth, TunePlayer::soundFont()->c_str(), 1) != FLUID_FAILED);
        fluid_player_t* player = new_fluid_player(synth);
        QCOMPARE(fluid_player_add(player, Tune.toLocal8Bit().constData()), FLUID_OK);
        fluid_file_renderer_t* renderer = new_fluid_file_renderer(synth);
        QVERIFY(renderer);
        fluid_player_play(player);
        int blocks = 0;
        while (fluid_player_get_status(player) == FLUID_PLAYER_PLAYING && blocks < 1'000'000) {
            QCOMPARE(fluid_file_renderer_process_block(renderer), FLUID_OK);
            ++blocks;
        }
        double rate = 0;
        int period = 0;
        fluid_settings_getnum(settings, "synth.sample-rate", &rate);
        fluid_settings_getint(settings, "audio.period-size", &period);
        delete_fluid_file_renderer(renderer);
        delete_fluid_player(player);
        delete_fluid_synth(synth);
        delete_fluid_settings(settings);

        const auto sound = samples(dir.filePath("tune.wav"));
        const double seconds = audibleSeconds(sound, rate);
        qInfo("rendered %.2f s, audible %.2f s, RMS %.4f", blocks * period / rate, seconds,
              rms(sound));
        QVERIFY2(seconds > 4 && seconds < 12, qPrintable(QString::number(seconds)));
        QVERIFY2(rms(sound) > 0.01, qPrintable(QString::number(rms(sound))));
    }

    void playsUntilStoppedAndAMissingFileIsSilence() {
        QTemporaryDir dir;
        {
            TunePlayer player(dir.filePath("played.wav").toStdString());
            player.play(Tune);
            QTRY_VERIFY(player.playing());
            QTest::qWait(400);
            player.stop();
            QVERIFY(!player.playing());
            player.play(Tune);  // again, from the start: the file holds this playing
            QTRY_VERIFY(player.playing());
            QTest::qWait(400);
        }
        QVERIFY(rms(samples(dir.filePath("played.wav"))) > 0.005);
        {
            TunePlayer player(dir.filePath("missing.wav").toStdString());
            player.play(dir.filePath("VodiZav.Mid"));
            QTest::qWait(400);
            QVERIFY(!player.playing());
            player.stop();
        }
        QVERIFY(!QFile::exists(dir.filePath("missing.wav")));  // no audio thread was started
    }
};

QTEST_MAIN(TestTune)
#include "tst_tune.moc"
