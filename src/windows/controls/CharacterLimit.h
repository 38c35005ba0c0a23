#pragma once

#include <QValidator>

namespace windows {

// Keeps a text box to a number of characters, as a length limit does (what is typed or
// pasted beyond it is left out, from its end), without ever splitting a character.
class CharacterLimit : public QValidator {
  public:
    CharacterLimit(qsizetype characters, QObject* parent);
    State validate(QString& input, int& position) const override;

  private:
    qsizetype characters_;
};

}  // namespace windows
