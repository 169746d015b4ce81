#include "app/gui/WindowTexts.h"

#include <QFile>

#include "encoding/CharCode.h"

namespace zelm::gui::texts {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

}  // namespace

QString CreationCaption() { return U(kProductLongName) + U(" [  ") + U(kVersion) + U("  ]"); }

QString TitleCaption(const QString& name, int mode) {
  switch (mode) {
    case -1: return U(kProductLongName) + U("  [ ") + U(kVersion) + U(" ]");
    case 0: return U(kProductLongName) + U("[ ") + name + U(" ]") + U(" - [ ") + U(kVersion) + U(" ]");
    case 1: return U(kProductLongName);
    default: return {};
  }
}

QString FormCaption(const QString& productLongName, const QString& name) {
  return productLongName + U(" ［ ") + U("Ver.") + U(kVersion) + U(" ］ ") + U(" 【 ") + name + U(" 】");
}

QString AboutVersionLabel() { return U("Ver. ") + U(kVersion); }

QString EncodingPanelText(int charCode) {
  const std::string_view name = GetharCode(charCode);
  return U("  【 ") + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) + U(" 】");
}

QString SavedMessage(const QString& fileName) { return U("  【  ") + fileName + U("  】として保存されました"); }

QString CannotOpenMessage(const QString& path, const QString& reason) {
  QString message = U("【 ") + path + U(" 】が 開けません！");
  if (!reason.isEmpty()) message += U("\n\n") + reason;
  return message;
}

QString SettingsWriteFailedMessage(const QString& path, const QString& reason) {
  QString message = path + U(" に書き込めません");
  if (!reason.isEmpty()) message += U("\n\n") + reason;
  return message;
}

QString SettingsUnreadableMessage(const QString& path) { return path + U(" を読み込めません"); }

QString AboutSettingsFileLabel(const QString& path) {
  return U("設定ファイル： ") + (path.isEmpty() ? U("（ ありません ）") : path);
}

QString BinaryFileMessage(const QString& path) {
  return U("【 ") + path + U(" 】は テキストではありません（ NUL バイトを含むバイナリ・ファイルです ）。開きませんでした。");
}

namespace {

QString FromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

// What stood in the way, for the kinds of failure without a reason of the
// system's.
QString FailureReason(const FileError& error) {
  const QString reason = QString::fromUtf8(error.reason.c_str());
  switch (error.kind) {
    case FileErrorKind::Empty: return U("ファイルが空です。");
    case FileErrorKind::ChangedWhileRead: return U("読み込んでいる間に、他のプログラムがファイルを変更しました。");
    case FileErrorKind::ChangedDuringRun:
    case FileErrorKind::ChangedSinceRead:
      return U("読み込んだ後に、他のプログラムがファイルを変更しました。上書きしませんでした。");
    case FileErrorKind::Locked: return U("他のプログラムがファイルをロックしています。上書きしませんでした。");
    case FileErrorKind::BackupInTheWay:
      return U("バックアップの名前【 ") + FromPath(error.path) + U(" 】に、ファイルではないものがあります（ ") + reason +
             U(" ）。元のファイルはそのままです。");
    case FileErrorKind::NotReplaceable:
    case FileErrorKind::NotAFile: return U("ファイルではありません（ ") + reason + U(" ）。");
    default: return reason;
  }
}

// How many characters of each kind a report holds, one line each.
QString LossKindLines(const LossReport& loss) {
  static constexpr struct {
    LossKind kind;
    const char* text;
    const char* unit;
  } kKinds[] = {
      {LossKind::NoForm, "「?」への置き換え： ", " 文字"},
      {LossKind::JisX0212, "JIS X 0212 の文字（「?」に置き換え）： ", " 文字"},
      {LossKind::Changed, "別の文字への置き換え： ", " 文字"},
      {LossKind::InvalidSequence, "文字として読めないバイト列（「?」に置き換え）： ", " 個"},
  };
  QString lines;
  for (const auto& kind : kKinds) {
    if (const std::size_t count = loss.of(kind.kind); count != 0)
      lines += U("\n　　") + U(kind.text) + QString::number(count) + U(kind.unit);
  }
  return lines;
}

QString EncodingOf(const LossReport& loss) {
  const std::string_view name = EncodingName(loss.target);
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

QString FileErrorMessage(const FileError& error, const QString& subject) {
  switch (error.kind) {
    case FileErrorKind::Binary: return BinaryFileMessage(subject);
    case FileErrorKind::CannotConvert: return EncodingFailedMessage(QString::fromUtf8(error.reason.c_str()));
    case FileErrorKind::CannotWrite:
      return CannotOpenMessage(FromPath(error.path), QString::fromUtf8(error.reason.c_str()));
    default: return CannotOpenMessage(subject, FailureReason(error));
  }
}

QString ChangedSinceReadQuestion(const QString& path) {
  return U("【 ") + path + U(" 】は、読み込んだ後に他のプログラムによって変更されています。\n") + U(kOverwriteQuestion);
}

QString OtherNamesMessage(const QString& path, std::size_t otherNames) {
  return U("【 ") + path + U(" 】には、ほかに ") + QString::number(otherNames) +
         U(" 個の名前（ ハードリンク ）がありました。それらの名前のファイルは、元のテキストのままです。");
}

QString LoadLossMessage(const LossReport& loss) {
  return EncodingOf(loss) + U(" で元のとおりに表せない文字が ") + QString::number(loss.count) +
         U(" 文字あります（ 最初は ") + QString::number(loss.line) + U(" 行目 ）。") + LossKindLines(loss) +
         U("\nこのまま元のファイルに上書き保存すると、それらの文字は失われます。");
}

QString SaveLossQuestion(const QString& path, const LossReport& readLoss, const LossReport& saveLoss) {
  QString message = U("【 ") + path + U(" 】に保存すると、文字が失われます。\n");
  if (readLoss.any()) {
    message += U("\n・読み込み時に ") + EncodingOf(readLoss) + U(" で元のとおりに表せなかった文字： ") +
               QString::number(readLoss.count) + U(" 文字（ 最初は元のテキストの ") + QString::number(readLoss.line) +
               U(" 行目 ）") + LossKindLines(readLoss);
  }
  if (saveLoss.any()) {
    message += U("\n・") + EncodingOf(saveLoss) + U(" で元のとおりに表せない文字： ") + QString::number(saveLoss.count) +
               U(" 文字（ 最初は ") + QString::number(saveLoss.line) + U(" 行目 ）") + LossKindLines(saveLoss);
  }
  return message + U("\n\nそれでも保存しますか？");
}

QString IndentTooDeepMessage(const QString& reason) {
  return U("入れ子が深すぎるため、インデント整形できませんでした。\n\n") + reason;
}

QString EncodingFailedMessage(const QString& reason) { return U("文字コードを変換できませんでした。\n\n") + reason; }

QString CommandFailedMessage(const QString& reason) { return U("処理を完了できませんでした。\n\n") + reason; }

const char* PaneTitle(PaneId pane) {
  switch (pane) {
    case PaneId::Org: return "オリジナル（ コード変換後 ）";
    case PaneId::Native: return "原文";
    case PaneId::Local: return "加工用";
    case PaneId::Result: return "処理結果";
    case PaneId::Selected: return "選択された領域のHTML";
    case PaneId::RefOrg: return "比較用オリジナル";
    case PaneId::Work: return "処理過程";
    case PaneId::Temp: return "チェック";
    case PaneId::Inner: return "内部HTML";
    case PaneId::InnerRight: return "内部HTML（ Ｊａvａ実行後 ）";
  }
  return "";
}

const char* const kGuidanceText =
    "・【 開く 】で HTML ファイルを開くか、ブラウザでコピーした HTML ソースを【 貼り付ける 】と、\n"
    "　文字コードを Shift_JIS に変換し、タグを１行に１つずつに分けたテキストが「 加工用 」画面に入ります。\n"
    "・「 加工用 」画面のテキストは手直しできます。手直しが済んだら【 ｲﾝﾃﾞﾝﾄ整形 】を実行してください。\n"
    "　レベル表示付きのテキストが「 処理過程 」に、インデント整形された結果が「 処理結果 」に入ります。\n"
    "・ファイルを開いて整形すると、結果は同じフォルダーの「 ZZ_tmp.html 」にも書き出されます。\n"
    "・上書き保存の前に、元のファイルは同じフォルダーに「 ZZBU_ 」を付けた名前で残されます。\n"
    "・検索キーワードは空白で区切って７つまで指定できます。空白を含む語は「 ~ 」で空白を表します。\n"
    "・ファイルは、ウインドウにドラッグ＆ドロップしても開けます。";

const char* const kTipsText =
    "インデントのレベルが思いどおりにならないときは、「 加工用 」画面で手直ししてから、もう一度整形します。\n\n"
    "・開始タグと終了タグが同じ行にあると、レベルは変わりません。ブロック要素（ div、table、ul、form など ）の\n"
    "　開始タグと終了タグは、それぞれ行頭に置いてください。\n"
    "・閉じ忘れた終了タグ、余分な終了タグがあると、それより後のレベルがずれます。\n"
    "　「 処理過程 」画面の各行の先頭には、行番号・分類・レベルのコメントが付いているので、\n"
    "　レベルがずれ始めた行を探し、「 加工用 」画面で直してください。\n"
    "・「 比較用オリジナル 」を手直しした場合は、【 編集 】メニューから「 加工用 」へ読み込み直せます。";

const char* const kDivCommentText =
    "入れ子の深い div では、どの </div> がどの <div> を閉じているのか分かりにくくなります。\n"
    "そこで、終了タグの中にコメントを書いておく方法があります。\n\n"
    "　　</div＿@--＿header＿--@＿>\n\n"
    "（ ＿ は半角空白を表します ）。ブラウザは「 </div 」と「 > 」の間を無視するので、ページはそのまま表示されます。\n"
    "【 ツール 】メニューから、このマークの一括挿入、一括除去、通常のコメント「 </div><!-- header --> 」への\n"
    "一括置換ができます。マークは、上の設定欄の「 開始ﾏｰｸ 」「 終了ﾏｰｸ 」で選べます。";

const char* const kAboutText =
    "HTML ソースを Shift_JIS に変換し、タグを１行に１つずつに分け、\n"
    "ブロック要素のレベルに合わせてインデント整形する、Web 制作者のための道具です。";

}  // namespace zelm::gui::texts
