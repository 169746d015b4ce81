#include "app/gui/ToolTexts.h"

namespace zelm::gui::texts {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

}  // namespace

QString SourceTitle(const char* title, const QString& fileName) {
  if (fileName.isEmpty()) return U(title);
  return U(title) + U(" 【 ") + fileName + U(" 】");
}

QString DefaultFolderMessage(const QString& folder) {
  if (folder.isEmpty()) return U("規定ﾌｫﾙﾀﾞｰは設定されていません。");
  return U("規定ﾌｫﾙﾀﾞｰ： ") + folder;
}

QString CannotWriteSettingsMessage(const QString& path, const QString& reason) {
  QString message = path + U(" に書き込めません");
  if (!reason.isEmpty()) message += U("\n") + reason;
  return message;
}

QString KeptAsIsMessage(int count, int line) {
  return U("  Unicode に当たる文字のない ") + QString::number(count) + U(" 文字は、変換せずに残しました（ 最初は ") +
         QString::number(line) + U(" 行目 ）");
}

}  // namespace zelm::gui::texts
