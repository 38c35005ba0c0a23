#include "music/TrackReader.h"

#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>

namespace music {
namespace {

using Clock = std::chrono::steady_clock;

// A file read through the tag reader until a moment: past it, every read finds the file's
// end, so the reader gives up at once.
class BoundedStream : public TagLib::IOStream {
  public:
    BoundedStream(int descriptor, std::string name, Clock::time_point until)
        : file_(descriptor, true), name_(std::move(name)), until_(until) {}

    TagLib::FileName name() const override { return name_.c_str(); }
    TagLib::ByteVector readBlock(unsigned long length) override {
        if (Clock::now() > until_) {
            overran_ = true;
            return {};
        }
        return file_.readBlock(length);
    }
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return file_.isOpen(); }
    void seek(long offset, Position from) override { file_.seek(offset, from); }
    void clear() override { file_.clear(); }
    long tell() const override { return file_.tell(); }
    long length() override { return file_.length(); }
    void truncate(long) override {}

    bool overran() const { return overran_; }

  private:
    TagLib::FileStream file_;
    std::string name_;
    Clock::time_point until_;
    bool overran_ = false;
};

// A tag's text as the catalogue keeps a text: each run of white space one blank, none at
// either end (a tag of blanks only is no tag).
std::string text(const TagLib::String& value) {
    return QString::fromStdString(value.to8Bit(true)).simplified().toStdString();
}

// The first value of a tag, as every format's properties name it (ID3v2 TPE2 and MP4 aART
// are ALBUMARTIST there too).
std::string property(const TagLib::PropertyMap& properties, const char* name) {
    const auto found = properties.find(name);
    return found == properties.end() || found->second.isEmpty() ? std::string()
                                                                : text(found->second.front());
}

// "3" or "3/12": the track's number on its disc; 0 when there is none.
int trackNumber(const std::string& value) {
    bool read = false;
    const int number = QString::fromStdString(value).section('/', 0, 0).trimmed().toInt(&read);
    return read && number > 0 ? number : 0;
}

}  // namespace

TrackRead readTrack(int descriptor, const std::string& name, std::chrono::milliseconds bound) {
    BoundedStream stream(descriptor, name, Clock::now() + bound);
    const TagLib::FileRef file(&stream, true, TagLib::AudioProperties::Fast);
    const bool sound = !file.isNull() && file.file()->isValid() && file.audioProperties() &&
                       file.audioProperties()->sampleRate() > 0 &&
                       file.audioProperties()->lengthInMilliseconds() > 0;
    if (stream.overran()) {
        return {std::nullopt, QString("it took more than %1 seconds to read, as a large file "
                                      "that is not music does")
                                  .arg(bound.count() / 1000.0)};
    }
    if (!sound) {
        return {std::nullopt, "no sound could be read in it"};
    }
    Track track;
    const TagLib::PropertyMap properties = file.file()->properties();
    track.artist = property(properties, "ARTIST");
    track.albumArtist = property(properties, "ALBUMARTIST");
    track.album = property(properties, "ALBUM");
    track.genre = property(properties, "GENRE");
    track.number = trackNumber(property(properties, "TRACKNUMBER"));
    return {std::move(track), {}};
}

}  // namespace music
