#include "publish/SignatureWriting.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <stdexcept>

namespace {

// minisign's secret key: "Ed", the key derivation ("\0\0": none), the checksum
// kind, 32 bytes of salt, 16 of limits, then the key id and the secret key
// (and a checksum that minisign 0.11 leaves zero without a password).
constexpr std::size_t kSecretKeyBytes = 158;
constexpr std::size_t kKeyIdAt = 54, kKeyAt = 62;
constexpr std::uint64_t kMostOps = std::uint64_t{1} << 32, kMostMemory = std::uint64_t{4} << 30;

std::string base64(const std::uint8_t* bytes, std::size_t n) {
  std::string text(sodium_base64_ENCODED_LEN(n, sodium_base64_VARIANT_ORIGINAL), '\0');
  sodium_bin2base64(text.data(), text.size(), bytes, n, sodium_base64_VARIANT_ORIGINAL);
  text.pop_back();  // its terminating zero
  return text;
}

catalogue::Ed25519Signature sign(const platform::Data& message, const SecretKey& key) {
  catalogue::Ed25519Signature signature;
  crypto_sign_detached(signature.data(), nullptr, message.data(), message.size(), key.key.data());
  return signature;
}

}  // namespace

SecretKey SecretKey::generate() {
  if (sodium_init() < 0) throw std::runtime_error("libsodium cannot be initialised");
  SecretKey secret;
  randombytes_buf(secret.id.data(), secret.id.size());
  std::array<std::uint8_t, 32> unused;
  crypto_sign_keypair(unused.data(), secret.key.data());
  return secret;
}

catalogue::PublicKey SecretKey::publicKey() const {
  catalogue::PublicKey pub;
  pub.id = id;
  crypto_sign_ed25519_sk_to_pk(pub.key.data(), key.data());
  return pub;
}

namespace {

std::optional<platform::Data> keyBytes(std::string_view text) {
  const std::size_t start = text.find('\n');
  if (start == std::string_view::npos) return std::nullopt;
  std::string_view line = text.substr(start + 1);
  line = line.substr(0, line.find_first_of("\r\n"));
  auto bytes = catalogue::base64Bytes(line, kSecretKeyBytes);
  if (!bytes || std::memcmp(bytes->data(), "Ed", 2) != 0) return std::nullopt;
  return platform::Data(bytes->begin(), bytes->end());
}

std::uint64_t littleEndian(const std::uint8_t* bytes) {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

// The key id, the secret key and their checksum are XORed with a stream the
// password gives through scrypt; the checksum says whether it was the right one.
bool decrypt(platform::Data& bytes, std::string_view password) {
  if (sodium_init() < 0) return false;
  std::array<std::uint8_t, kSecretKeyBytes - kKeyIdAt> stream;
  const std::uint8_t* salt = bytes.data() + 6;
  const auto ops = littleEndian(bytes.data() + 38), mem = littleEndian(bytes.data() + 46);
  // minisign asks for 1 GiB; a key that asks for more than this is not one of its.
  if (ops > kMostOps || mem > kMostMemory) return false;
  if (crypto_pwhash_scryptsalsa208sha256(stream.data(), stream.size(), password.data(), password.size(), salt, ops,
                                         static_cast<std::size_t>(mem)) != 0)
    return false;
  for (std::size_t i = 0; i < stream.size(); ++i) bytes[kKeyIdAt + i] ^= stream[i];
  sodium_memzero(stream.data(), stream.size());
  std::array<std::uint8_t, 32> checksum;
  crypto_generichash_state state;
  crypto_generichash_init(&state, nullptr, 0, checksum.size());
  crypto_generichash_update(&state, bytes.data(), 2);
  crypto_generichash_update(&state, bytes.data() + kKeyIdAt, 8 + 64);
  crypto_generichash_final(&state, checksum.data(), checksum.size());
  return sodium_memcmp(checksum.data(), bytes.data() + kKeyAt + 64, checksum.size()) == 0;
}

std::optional<SecretKey> keyOf(const platform::Data& bytes) {
  SecretKey secret;
  std::copy_n(bytes.begin() + kKeyIdAt, secret.id.size(), secret.id.begin());
  std::copy_n(bytes.begin() + kKeyAt, secret.key.size(), secret.key.begin());
  // The public half must be the one the seed gives: a damaged key would sign
  // what nobody can verify.
  std::array<std::uint8_t, 32> pub;
  std::array<std::uint8_t, 64> derived;
  crypto_sign_seed_keypair(pub.data(), derived.data(), secret.key.data());
  if (derived != secret.key) return std::nullopt;
  return secret;
}

}  // namespace

bool needsPassword(std::string_view text) {
  const auto bytes = keyBytes(text);
  return bytes && std::memcmp(bytes->data() + 2, "Sc", 2) == 0;
}

std::optional<SecretKey> readSecretKey(std::string_view text) {
  const auto bytes = keyBytes(text);
  if (!bytes || std::memcmp(bytes->data() + 2, "\0\0", 2) != 0) return std::nullopt;
  return keyOf(*bytes);
}

SecretKeyRead readSecretKey(std::string_view text, std::string_view password) {
  using Problem = SecretKeyRead::Problem;
  auto bytes = keyBytes(text);
  if (!bytes) return {std::nullopt, Problem::notAKey};
  if (std::memcmp(bytes->data() + 2, "\0\0", 2) == 0) {
    auto key = keyOf(*bytes);
    return {key, key ? Problem::none : Problem::notAKey};
  }
  if (std::memcmp(bytes->data() + 2, "Sc", 2) != 0) return {std::nullopt, Problem::notAKey};
  if (password.empty()) return {std::nullopt, Problem::passwordNeeded};
  const bool right = decrypt(*bytes, password);
  auto key = right ? keyOf(*bytes) : std::nullopt;
  sodium_memzero(bytes->data(), bytes->size());
  if (!right) return {std::nullopt, Problem::wrongPassword};
  return {key, key ? Problem::none : Problem::notAKey};
}

std::string signatureFile(const platform::Data& list, const SecretKey& key, std::string_view trustedComment,
                          bool prehashed) {
  const auto signature = sign(catalogue::signedMessage(list, prehashed), key);
  const auto global = sign(catalogue::globalMessage(signature, trustedComment), key);
  const std::string_view algorithm = prehashed ? catalogue::kPrehashedAlgorithm : catalogue::kLegacyAlgorithm;
  platform::Data line(algorithm.begin(), algorithm.end());
  line.insert(line.end(), key.id.begin(), key.id.end());
  line.insert(line.end(), signature.begin(), signature.end());
  return std::string(catalogue::kUntrustedCommentPrefix) + "signature from ringflash-publish secret key\n" +
         base64(line.data(), line.size()) + "\n" + std::string(catalogue::kTrustedCommentPrefix) +
         std::string(trustedComment) + "\n" + base64(global.data(), global.size()) + "\n";
}

std::string defaultTrustedComment(const std::string& fileName) {
  return publisherComment(std::time(nullptr), fileName, std::nullopt);
}

std::string publisherComment(std::int64_t signedAt, const std::string& fileName,
                             std::optional<std::int64_t> expiresAt) {
  std::string comment = "timestamp:" + std::to_string(signedAt) + "\tfile:" + fileName + "\thashed";
  if (expiresAt) comment += "\texpires:" + std::to_string(*expiresAt);
  return comment;
}
