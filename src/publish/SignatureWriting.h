#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/ListSignature.h"
#include "platform/Data.h"

// For firmware publishers and the tests: signs a list as the minisign tool
// does, so that the stock `minisign -V` verifies what is written here.
struct SecretKey {
  catalogue::KeyId id{};
  std::array<std::uint8_t, 64> key{};  // libsodium's: the seed, then the public key

  static SecretKey generate();
  catalogue::PublicKey publicKey() const;
};

// The text of a minisign secret key made without a password (`minisign -G -W`);
// no value for anything else, a key with a password among them.
std::optional<SecretKey> readSecretKey(std::string_view text);

// A minisign secret key, made with a password or without one.
struct SecretKeyRead {
  enum class Problem { none, notAKey, passwordNeeded, wrongPassword };
  std::optional<SecretKey> key;
  Problem problem = Problem::none;
};
// Whether the key's text says it was made with a password (scrypt).
bool needsPassword(std::string_view text);
SecretKeyRead readSecretKey(std::string_view text, std::string_view password);

// The .minisig text for `list`: prehashed (minisign's default) or legacy.
std::string signatureFile(const platform::Data& list, const SecretKey& key, std::string_view trustedComment,
                          bool prehashed = true);
// minisign's default trusted comment for a file of that name signed now.
std::string defaultTrustedComment(const std::string& fileName);
// The same items for a file signed at `signedAt`, with the moment the list
// stops being accepted when there is one.
std::string publisherComment(std::int64_t signedAt, const std::string& fileName, std::optional<std::int64_t> expiresAt);
