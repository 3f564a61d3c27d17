// TRANSFERE and CONVERTE: the clipboard, and the encodings a string can be
// converted to and from.
#include "base/codepage.h"
#include "base/text_codes.h"
#include "console/console.h"
#include "script/cmd_operands.h"
#include "script/expr.h"
#include "script/interp.h"

namespace varlo {

namespace {

// The most the clipboard commands move at once.
constexpr size_t kClipboardLimit = size_t(16) << 20;

}  // namespace

// TRANSFERE DE var | TRANSFERE PARA text
bool cmdTransfer() {
  if (isWord("DE")) {
    scan();
    Lvalue target = parseLvalue();
    if (!target.valid()) return false;
    return assignLvalue(target, stringValue(pasteText(kClipboardLimit + 1)));
  }
  if (!isWord("PARA")) return failLine(cp("Esperava DE ou PARA como opção para o comando TRANSFERE"));
  scan();
  std::string text;
  if (theToken.kind == tkEnd || !readString(text, false)) {
    return failLine("Esperava uma cadeia como texto a TRANSFERIR");
  }
  if (text.size() > kClipboardLimit) {
    return failLine("Tamanho excessivo: " + std::to_string(text.size()) + " bytes");
  }
  if (!copyText(text)) return failLine(cp("Não pude copiar para a área de transferência do Windows"));
  return true;
}

namespace {

// The text in the code, or none when it cannot be decoded.
std::optional<std::string> decoded(const std::string& code, const std::string& text) {
  if (code == "UTF" || code == "UTF8") return utf8ToCp1252(text);
  if (code == "URL") return percentDecode(text);
  if (code == "MIME") return base64Decode(text);
  return quotedPrintableDecode(text);
}

std::string encoded(const std::string& code, const std::string& text) {
  if (code == "UTF" || code == "UTF8") return cp1252ToUtf8(text);
  if (code == "URL") return percentEncode(text);
  if (code == "MIME") return base64Encode(text);
  return quotedPrintableEncode(text);
}

bool knownCode(const std::string& code) {
  return code == "UTF" || code == "UTF8" || code == "URL" || code == "MIME" || code == "QP";
}

}  // namespace

// CONVERTE var DE|PARA code. Text that does not decode (Base64 gone bad)
// leaves the variable as it was, with the I/O status 1.
bool cmdConvert() {
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  bool decoding = isWord("DE");
  if (!decoding && !isWord("PARA")) return failLine("Esperava DE ou PARA");
  scan();
  std::string code;
  if (theToken.kind == tkIdentifier) {
    code = std::string(theToken.text);
    scan();
  } else if (theToken.kind != tkString || !readString(code, false)) {
    return failLine(cp("Esperava o código de conversão"));
  }
  if (!knownCode(fold(code))) return failLine(cp("Código de conversão desconhecido: ") + code);
  code = fold(code);
  Operand current = readLvalue(target);
  Operand asText = toStringValue(current);
  releaseValue(current);
  if (asText.tag != Tag::string) {
    releaseValue(asText);
    return failLine(cp("Esperava uma cadeia"));
  }
  std::optional<std::string> result =
      decoding ? decoded(code, textOf(asText)) : std::optional<std::string>(encoded(code, textOf(asText)));
  releaseValue(asText);
  setIoStatus(result ? 0 : 1);
  if (!result) return true;
  if (!fitsLimits(0, result->size())) return false;
  return assignLvalue(target, stringValue(std::move(*result)));
}

}  // namespace varlo
