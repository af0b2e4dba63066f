#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Data.h"

// The firmware list's detached signature, in the format of the minisign tool,
// so that a publisher signs with a stock tool; it covers the list, and through
// the list's hashes every image. Ed25519 and BLAKE2b come from libsodium.
namespace catalogue {

using KeyId = std::array<std::uint8_t, 8>;
using Ed25519Signature = std::array<std::uint8_t, 64>;

// A minisign public key: the base64 line of a minisign.pub ("Ed", key id, key).
struct PublicKey {
  KeyId id{};
  std::array<std::uint8_t, 32> key{};
};
// The base64 line, white space around it ignored; no value for anything else.
std::optional<PublicKey> readPublicKey(std::string_view base64Line);

// Exactly `size` bytes from standard base64, or no value.
std::optional<platform::Data> base64Bytes(std::string_view text, std::size_t size);

inline constexpr std::string_view kUntrustedCommentPrefix = "untrusted comment: ";
inline constexpr std::string_view kTrustedCommentPrefix = "trusted comment: ";

// The four lines of a .minisig file: the untrusted comment, the signature of
// the list (prehashed "ED": of its BLAKE2b-512; legacy "Ed": of its bytes), the
// trusted comment, and the global signature over the signature and that comment.
inline constexpr std::string_view kLegacyAlgorithm = "Ed";
inline constexpr std::string_view kPrehashedAlgorithm = "ED";
struct SignatureFile {
  bool prehashed = true;
  KeyId keyId{};
  Ed25519Signature signature{};
  std::string trustedComment;  // without its prefix and line end
  Ed25519Signature globalSignature{};
};
// No value unless the bytes hold all four lines in that form; a line may end
// in CR LF, and what follows the fourth line is ignored, as minisign does.
std::optional<SignatureFile> readSignatureFile(const platform::Data& bytes);

// What a key signs: the list's BLAKE2b-512 (prehashed) or the list itself;
// and, for the global signature, the signature followed by the trusted comment.
platform::Data signedMessage(const platform::Data& list, bool prehashed);
platform::Data globalMessage(const Ed25519Signature& signature, std::string_view trustedComment);

enum class SignatureVerdict { verified, malformed, unknownKey, listAltered, commentAltered };
// Accepts only a signature file whose key id is one of `trusted`, whose
// signature verifies over the list under that key, and whose global signature
// verifies over the signature and the trusted comment.
// When it verifies, its trusted comment goes to `trustedComment` if asked for.
SignatureVerdict verifyListSignature(const platform::Data& list, const platform::Data& signatureFile,
                                     const std::vector<PublicKey>& trusted, std::string* trustedComment = nullptr);

}  // namespace catalogue
