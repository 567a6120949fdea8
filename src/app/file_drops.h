// Files dropped on the window: which drags carry them, and reading one into the source-message
// box the way a run reads its sources.
#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

namespace gw::app {

// The local files a drag carries, in order; empty when it carries none or anything that is not
// a local file (a web address, text), so that such drags keep their usual handling.
QStringList DroppedLocalFiles(const QMimeData* data);

struct DroppedSource {
  bool read = false;
  QString text;     // the file's text, LF line breaks, when read
  QString problem;  // the message for the user (names the file) when not read
};

// Reads `path` as a source in the encoding of the list "组合框编码" (its index): the same
// detection, conversion to GBK and size limit as a run.
DroppedSource ReadDroppedSource(const QString& path, int encodingIndex);

}  // namespace gw::app
