#include "SignatureWriting.h"

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

std::optional<SecretKey> readSecretKey(std::string_view text) {
  const std::size_t start = text.find('\n');
  if (start == std::string_view::npos) return std::nullopt;
  std::string_view line = text.substr(start + 1);
  line = line.substr(0, line.find_first_of("\r\n"));
  const auto bytes = catalogue::base64Bytes(line, kSecretKeyBytes);
  if (!bytes || std::memcmp(bytes->data(), "Ed\0\0", 4) != 0) return std::nullopt;
  SecretKey secret;
  std::copy_n(bytes->begin() + kKeyIdAt, secret.id.size(), secret.id.begin());
  std::copy_n(bytes->begin() + kKeyAt, secret.key.size(), secret.key.begin());
  // The public half must be the one the seed gives: a damaged key would sign
  // what nobody can verify.
  std::array<std::uint8_t, 32> pub;
  std::array<std::uint8_t, 64> derived;
  crypto_sign_seed_keypair(pub.data(), derived.data(), secret.key.data());
  if (derived != secret.key) return std::nullopt;
  return secret;
}

std::string signatureFile(const platform::Data& list, const SecretKey& key, std::string_view trustedComment,
                          bool prehashed) {
  const auto signature = sign(catalogue::signedMessage(list, prehashed), key);
  const auto global = sign(catalogue::globalMessage(signature, trustedComment), key);
  const std::string_view algorithm = prehashed ? catalogue::kPrehashedAlgorithm : catalogue::kLegacyAlgorithm;
  platform::Data line(algorithm.begin(), algorithm.end());
  line.insert(line.end(), key.id.begin(), key.id.end());
  line.insert(line.end(), signature.begin(), signature.end());
  return std::string(catalogue::kUntrustedCommentPrefix) + "signature from ringflash-firmware-server secret key\n" +
         base64(line.data(), line.size()) + "\n" + std::string(catalogue::kTrustedCommentPrefix) +
         std::string(trustedComment) + "\n" + base64(global.data(), global.size()) + "\n";
}

std::string defaultTrustedComment(const std::string& fileName) {
  return "timestamp:" + std::to_string(std::time(nullptr)) + "\tfile:" + fileName + "\thashed";
}
