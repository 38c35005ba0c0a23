// Writes the About window's tune, VodiZav.Mid: a Standard MIDI File of four bars in C major
// (vibraphone melody, acoustic bass, soft strings), about seven seconds at 132 beats a minute.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

constexpr int TicksPerQuarter = 480;
constexpr int Eighth = TicksPerQuarter / 2;
constexpr int MicrosecondsPerQuarter = 60'000'000 / 132;

struct Note {
    int start, length;  // in eighths
    int key;            // MIDI note number
};

struct Voice {
    int channel, program, velocity;
    std::vector<Note> notes;
};

// The tune: C5 = 72. Four bars of eight eighths.
const std::vector<Voice> Voices = {
    {0,
     11,
     100,  // vibraphone
     {{0, 1, 72},
      {1, 1, 76},
      {2, 1, 79},
      {3, 2, 84},
      {5, 1, 83},
      {6, 2, 79},
      {8, 1, 81},
      {9, 1, 79},
      {10, 1, 77},
      {11, 2, 76},
      {13, 1, 74},
      {14, 2, 76},
      {16, 1, 77},
      {17, 1, 81},
      {18, 1, 84},
      {19, 2, 86},
      {21, 1, 84},
      {22, 2, 83},
      {24, 6, 84}}},
    {1,
     32,
     90,  // acoustic bass
     {{0, 4, 48}, {4, 4, 43}, {8, 4, 41}, {12, 4, 48}, {16, 4, 50}, {20, 4, 43}, {24, 8, 36}}},
    {2,
     48,
     55,  // strings
     {{0, 8, 60},
      {0, 8, 64},
      {0, 8, 67},
      {8, 4, 65},
      {8, 4, 69},
      {8, 4, 72},
      {12, 4, 64},
      {12, 4, 67},
      {12, 4, 72},
      {16, 4, 62},
      {16, 4, 65},
      {16, 4, 69},
      {20, 4, 62},
      {20, 4, 67},
      {20, 4, 71},
      {24, 8, 60},
      {24, 8, 64},
      {24, 8, 67}}},
};

struct Event {
    int tick;
    bool on;
    std::uint8_t status, key, velocity;
};

void putVariable(std::vector<std::uint8_t>& out, std::uint32_t value) {
    std::uint8_t bytes[5];
    int count = 0;
    do {
        bytes[count++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value);
    while (count--) {
        out.push_back(static_cast<std::uint8_t>(bytes[count] | (count ? 0x80 : 0)));
    }
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    while (bytes--) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * bytes)));
    }
}

std::vector<std::uint8_t> track() {
    std::vector<std::uint8_t> out;
    putVariable(out, 0);  // tempo
    out.insert(out.end(), {0xFF, 0x51, 0x03});
    putBigEndian(out, MicrosecondsPerQuarter, 3);
    std::vector<Event> events;
    for (const Voice& voice : Voices) {
        putVariable(out, 0);
        out.push_back(static_cast<std::uint8_t>(0xC0 | voice.channel));
        out.push_back(static_cast<std::uint8_t>(voice.program));
        for (const Note& note : voice.notes) {
            const auto key = static_cast<std::uint8_t>(note.key);
            const auto status = static_cast<std::uint8_t>(0x90 | voice.channel);
            events.push_back({note.start * Eighth, true, status, key,
                              static_cast<std::uint8_t>(voice.velocity)});
            // Released a little early, so repeated notes are heard as two.
            events.push_back({(note.start + note.length) * Eighth - 10, false, status, key, 0});
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : (!a.on && b.on);
    });
    int now = 0;
    for (const Event& event : events) {
        putVariable(out, static_cast<std::uint32_t>(event.tick - now));
        now = event.tick;
        out.insert(out.end(), {event.status, event.key, event.velocity});
    }
    putVariable(out, TicksPerQuarter);  // let the last notes ring before the end
    out.insert(out.end(), {0xFF, 0x2F, 0x00});
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_tune OUTPUT.Mid\n");
        return 2;
    }
    std::vector<std::uint8_t> file = {'M', 'T', 'h', 'd'};
    putBigEndian(file, 6, 4);
    putBigEndian(file, 0, 2);  // one track
    putBigEndian(file, 1, 2);
    putBigEndian(file, TicksPerQuarter, 2);
    const std::vector<std::uint8_t> body = track();
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    putBigEndian(file, static_cast<std::uint32_t>(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    return out ? 0 : 1;
}
