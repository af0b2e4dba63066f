#include "ListSignature.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace catalogue {
namespace {

void initSodium() {
  if (sodium_init() < 0) throw std::runtime_error("libsodium cannot be initialised");
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// The next line of `text` from `at`, without its LF or CR LF; no value at the
// end of the text.
std::optional<std::string_view> nextLine(std::string_view text, std::size_t& at) {
  if (at >= text.size()) return std::nullopt;
  const std::size_t feed = text.find('\n', at);
  const std::size_t end = feed == std::string_view::npos ? text.size() : feed;
  std::string_view line = text.substr(at, end - at);
  at = end + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

template <std::size_t N>
void copyTo(std::array<std::uint8_t, N>& to, const std::uint8_t* from) {
  std::memcpy(to.data(), from, N);
}

bool verifies(const Ed25519Signature& signature, const platform::Data& message, const PublicKey& key) {
  return crypto_sign_verify_detached(signature.data(), message.data(), message.size(), key.key.data()) == 0;
}

}  // namespace

std::optional<platform::Data> base64Bytes(std::string_view text, std::size_t size) {
  initSodium();
  platform::Data bytes(size + 1);
  std::size_t length = 0;
  const char* end = nullptr;
  if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), nullptr, &length, &end,
                        sodium_base64_VARIANT_ORIGINAL) != 0 ||
      end != text.data() + text.size() || length != size)
    return std::nullopt;
  bytes.resize(size);
  return bytes;
}

std::optional<PublicKey> readPublicKey(std::string_view base64Line) {
  const auto first = base64Line.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return std::nullopt;
  base64Line = base64Line.substr(first, base64Line.find_last_not_of(" \t\r\n") + 1 - first);
  const auto bytes = base64Bytes(base64Line, 2 + 8 + 32);
  if (!bytes || !std::equal(kLegacyAlgorithm.begin(), kLegacyAlgorithm.end(), bytes->begin())) return std::nullopt;
  PublicKey key;
  copyTo(key.id, bytes->data() + 2);
  copyTo(key.key, bytes->data() + 10);
  return key;
}

std::optional<SignatureFile> readSignatureFile(const platform::Data& bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::size_t at = 0;
  const auto untrusted = nextLine(text, at);
  const auto signatureLine = nextLine(text, at);
  const auto trusted = nextLine(text, at);
  const auto globalLine = nextLine(text, at);
  if (!globalLine || !startsWith(*untrusted, kUntrustedCommentPrefix) || !startsWith(*trusted, kTrustedCommentPrefix))
    return std::nullopt;
  const auto signature = base64Bytes(*signatureLine, 2 + 8 + 64);
  const auto global = base64Bytes(*globalLine, 64);
  if (!signature || !global) return std::nullopt;
  const std::string_view algorithm(reinterpret_cast<const char*>(signature->data()), 2);
  if (algorithm != kPrehashedAlgorithm && algorithm != kLegacyAlgorithm) return std::nullopt;
  SignatureFile file;
  file.prehashed = algorithm == kPrehashedAlgorithm;
  copyTo(file.keyId, signature->data() + 2);
  copyTo(file.signature, signature->data() + 10);
  file.trustedComment = std::string(trusted->substr(kTrustedCommentPrefix.size()));
  copyTo(file.globalSignature, global->data());
  return file;
}

platform::Data signedMessage(const platform::Data& list, bool prehashed) {
  if (!prehashed) return list;
  initSodium();
  platform::Data digest(crypto_generichash_BYTES_MAX);
  crypto_generichash(digest.data(), digest.size(), list.data(), list.size(), nullptr, 0);
  return digest;
}

platform::Data globalMessage(const Ed25519Signature& signature, std::string_view trustedComment) {
  platform::Data message(signature.begin(), signature.end());
  message.insert(message.end(), trustedComment.begin(), trustedComment.end());
  return message;
}

SignatureVerdict verifyListSignature(const platform::Data& list, const platform::Data& signatureFile,
                                     const std::vector<PublicKey>& trusted, std::string* trustedComment) {
  const auto file = readSignatureFile(signatureFile);
  if (!file) return SignatureVerdict::malformed;
  const auto key =
      std::find_if(trusted.begin(), trusted.end(), [&](const PublicKey& k) { return k.id == file->keyId; });
  if (key == trusted.end()) return SignatureVerdict::unknownKey;
  if (!verifies(file->signature, signedMessage(list, file->prehashed), *key)) return SignatureVerdict::listAltered;
  if (!verifies(file->globalSignature, globalMessage(file->signature, file->trustedComment), *key))
    return SignatureVerdict::commentAltered;
  if (trustedComment) *trustedComment = file->trustedComment;
  return SignatureVerdict::verified;
}

}  // namespace catalogue
