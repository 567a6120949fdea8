#include "app/file_drops.h"

#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <filesystem>

#include "app/qt_text.h"
#include "engine/source_problems.h"
#include "text/source_reader.h"

namespace gw::app {

QStringList DroppedLocalFiles(const QMimeData* data) {
  QStringList files;
  if (data == nullptr || !data->hasUrls()) {
    return files;
  }
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile() || url.toLocalFile().isEmpty()) {
      return {};
    }
    files.append(url.toLocalFile());
  }
  return files;
}

DroppedSource ReadDroppedSource(const QString& path, int encodingIndex) {
  const std::filesystem::path file(QFile::encodeName(path).toStdString());
  TextEncoding detected = TextEncoding::Gbk;
  const SourceRead source = ReadSource(file, static_cast<TextEncoding>(encodingIndex), detected);
  DroppedSource result;
  if (source.status != SourceStatus::Read) {
    result.problem = FromGbk(SourceProblemText(source.status, file, source.error));
    return result;
  }
  result.read = true;
  result.text = ToLf(FromGbk(source.text));
  return result;
}

}  // namespace gw::app
