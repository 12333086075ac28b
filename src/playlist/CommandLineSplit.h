#pragma once

#include <QStringList>
#include <QStringView>

namespace pelto {

// Splits a command line into names, front to back. A name that begins with a double
// quote runs to the next double quote followed by a space (which both end it);
// any other name runs to the next space. A name with no end runs to the end of the
// text. Every double quote is then removed from the name. Names may come out empty
// (two spaces in a row); an unbalanced quote simply takes the rest of the text.
QStringList splitCommandLine(QStringView text);

} // namespace pelto
