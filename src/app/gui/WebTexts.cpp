#include "app/gui/WebTexts.h"

namespace zelm::gui::texts {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

QString Seconds(std::chrono::milliseconds limit) {
  return QString::number(std::chrono::duration_cast<std::chrono::seconds>(limit).count());
}

}  // namespace

QString AnalyserLoadingMessage(const QString& address) {
  return U("【 ") + address + U(" 】を 読み込んでいます …（ 中止ボタンで中止できます ）");
}

QString AnalyserLoadedMessage(const QString& address) { return U("【 ") + address + U(" 】を 読み込みました"); }

QString FramePageMessage(int frameKind) {
  if (frameKind == kFramesetPage) {
    return U("フレーム（ frameset ）のページです。各フレームのページは、そのアドレスを開いて解析してください");
  }
  if (frameKind == kInlineFramePage) {
    return U("インラインフレーム（ iframe ）を含むページです。フレームの中身は、このページのHTMLには含まれません");
  }
  return {};
}

QString AnalyserFailedMessage(const QString& address, const PageSource& source, const DownloadOptions& options) {
  const QString head = U("【 ") + address + U(" 】");
  const QString reason = QString::fromStdString(source.fromFile ? source.reason : source.download.message);
  switch (source.failure) {
    case PageSource::Failure::None:
      return {};
    case PageSource::Failure::File:
      return head + U("が 開けません！ ") + reason;
    case PageSource::Failure::Encoding:
      return head + U("の 文字コードを変換できません： ") + reason;
    case PageSource::Failure::Download:
      break;
  }
  switch (source.download.error) {
    case DownloadError::Cancelled:
      return head + U("の 読み込みを中止しました");
    case DownloadError::Timeout:
      return head + U("の 読み込みが時間切れになりました（ 接続 ") + Seconds(options.connectTimeout) +
             U(" 秒 ／ 全体 ") + Seconds(options.timeout) + U(" 秒 ）");
    case DownloadError::HttpStatus:
      return head + U("を 読み込めません： サーバーの応答 HTTP ") + QString::number(source.download.httpStatus);
    default:
      return head + U("を 読み込めません： ") + reason;
  }
}

QString InnerHtmlLossMessage(std::size_t count, std::size_t line) {
  return U("内部HTMLの Shift_JIS で表せない ") + QString::number(count) + U(" 文字を「?」にしました（ 最初は ") +
         QString::number(line) + U(" 行目 ）");
}

QString AnalyserEmptyMessage(const QString& address) { return U("【 ") + address + U(" 】は 空のページです"); }

QString NoFileToShowMessage(const QString& what) { return what + U("が ありません"); }

QString CannotShowInBrowserMessage(const QString& path) {
  return U("【 ") + path + U(" 】を 既定のブラウザで表示できません");
}

}  // namespace zelm::gui::texts
