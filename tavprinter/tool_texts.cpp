#include "tavprinter/tool_texts.h"

#include <iterator>

namespace tav::tavprinter {

namespace {

// In the order of Text.
constexpr TextPair kTexts[] = {
    {"no printer found", "プリンターが見つかりません"},
    {"no printer matches '%s'", "'%s' に当てはまるプリンターがありません"},
    {"more than one printer matches '%s'", "'%s' に当てはまるプリンターが複数あります"},
    {"more than one printer is attached: name one with --printer",
     "複数のプリンターが接続されています: --printer で指定してください"},
    {"the setup utility or another tool is working on the printer",
     "設定ユーティリティまたは他のツールがプリンターを使用中です"},
    {"needs an elevated administrator (run as administrator)", "管理者として実行してください"},
    {"Printer", "プリンター"},
    {"Instance ID", "インスタンスID"},
    {"Model", "モデル"},
    {"Driver type", "ドライバータイプ"},
    {"Printer response", "プリンター応答"},
    {"iSerialNumber", "iSerialNumber"},
    {"COM port", "COMポート"},
    {"Printer Driver", "プリンタードライバー"},
    {"Virtual Serial Port Driver", "仮想シリアルポートドライバー"},
    {"Receive", "受信する"},
    {"Not receive", "受信しない"},
    {"(could not be read)", "(読み取れません)"},
    {"(none)", "(なし)"},
    {"(no port linked)", "(ポート未接続)"},
    {"%s: already %s", "%s: すでに %s です"},
    {"%s: would change from %s to %s", "%s: %s から %s に変更します"},
    {"%s: %s", "%s: %s"},
    {"switching to the %s", "%sに切り替えています"},
    {"switching the printer response to %s", "プリンター応答を%sに切り替えています"},
    {"changing the iSerialNumber", "iSerialNumberを変更しています"},
    {"waiting for the printer, %u s of %u", "プリンターを待っています (%u / %u 秒)"},
    {"linked to %s", "%s に接続しました"},
    {"no COM port linked: the port link service is stopped",
     "COMポートは接続されていません: ポート接続サービスが停止しています"},
    {"no COM port linked: the virtual serial port driver is not installed",
     "COMポートは接続されていません: 仮想シリアルポートドライバーがインストールされていません"},
    {"no COM port linked within %u s", "%u 秒以内にCOMポートが接続されませんでした"},
    {"the virtual serial port driver is not installed: nothing changed",
     "仮想シリアルポートドライバーがインストールされていません: 何も変更していません"},
    {"the printer did not come back within %u s", "プリンターが %u 秒以内に戻りませんでした"},
    {"%s reads back as %s, not %s", "%s の読み取り結果は %s で、%s ではありません"},
    {"%s failed: error %u: %s", "%s に失敗しました: エラー %u: %s"},
    {"cancelled", "中止しました"},
    {"--serial takes 1 to 10 printable ASCII characters: '%s'",
     "--serial には 1～10 文字の半角英数字・記号を指定してください: '%s'"},
};
static_assert(std::size(kTexts) == static_cast<size_t>(Text::kBadSerial) + 1,
              "one text pair per Text");

}  // namespace

const char* TextFor(Text id, bool japanese) {
    const TextPair& pair = kTexts[static_cast<size_t>(id)];
    return japanese ? pair.ja : pair.en;
}

}  // namespace tav::tavprinter
