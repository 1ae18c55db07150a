#include "Keyring.h"

#include <libsecret/secret.h>
#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <cstring>
#include <dlfcn.h>
#include <optional>
#include <stdexcept>

namespace {

// libsecret's calls, loaded the first time a token kept with the keyring is used: the programs
// start without it and the GLib libraries it brings (some 3 ms of every start).
struct SecretCalls {
    decltype(&secret_service_get_sync) getService;
    decltype(&secret_password_store_sync) store;
    decltype(&secret_password_lookup_nonpageable_sync) lookup;
    decltype(&secret_password_clear_sync) clear;
    decltype(&secret_password_free) freePassword;
    decltype(&g_object_unref) unref;
    decltype(&g_error_free) freeError;
};

template <class Call> bool Load(void* library, const char* name, Call& call)
{
    call = reinterpret_cast<Call>(::dlsym(library, name));
    return call != nullptr;
}

// Null when libsecret cannot be loaded.
const SecretCalls* Secret()
{
    static const std::optional<SecretCalls> calls = []() -> std::optional<SecretCalls> {
        void* library = ::dlopen("libsecret-1.so.0", RTLD_NOW | RTLD_LOCAL);
        SecretCalls c{};
        if (library == nullptr || !Load(library, "secret_service_get_sync", c.getService) ||
            !Load(library, "secret_password_store_sync", c.store) ||
            !Load(library, "secret_password_lookup_nonpageable_sync", c.lookup) ||
            !Load(library, "secret_password_clear_sync", c.clear) ||
            !Load(library, "secret_password_free", c.freePassword) || !Load(library, "g_object_unref", c.unref) ||
            !Load(library, "g_error_free", c.freeError))
            return std::nullopt;
        return c;
    }();
    return calls ? &*calls : nullptr;
}

// The items' kind: Trevalo's token keys, told apart by serial number.
SecretSchema TokenKeySchema()
{
    SecretSchema schema{};
    schema.name = "org.trevalo.TokenKey";
    schema.flags = SECRET_SCHEMA_NONE;
    schema.attributes[0] = {"serial", SECRET_SCHEMA_ATTRIBUTE_STRING};
    return schema;
}
const SecretSchema kSchema = TokenKeySchema();

// An error of the Secret Service or of the way to it: about the keyring, not the token.
bool Unavailable(GError* error, const std::string& serial, TokenFailure& failure)
{
    if (error != nullptr)
        Secret()->freeError(error);
    failure = {"Keyring unavailable", "No desktop keyring answers for token " + serial + ".", true};
    return false;
}

} // namespace

namespace Keyring {

SecretBytes NewKey()
{
    SecretBytes random(32);
    if (RAND_bytes(random.data(), static_cast<int>(random.size())) != 1)
        throw std::runtime_error("no random bytes");
    SecretBytes key;
    for (const unsigned char byte : random)
        for (const int nibble : {byte >> 4, byte & 0xf})
            key.push_back(static_cast<unsigned char>("0123456789abcdef"[nibble]));
    return key;
}

bool Answers(const std::string& serial, TokenFailure& failure)
{
    const SecretCalls* secret = Secret();
    GError* error = nullptr;
    SecretService* service = secret ? secret->getService(SECRET_SERVICE_OPEN_SESSION, nullptr, &error) : nullptr;
    if (service == nullptr)
        return Unavailable(error, serial, failure);
    secret->unref(service);
    return true;
}

bool Store(const std::string& serial, std::string_view key, TokenFailure& failure)
{
    const std::string label = "Trevalo token " + serial;
    const SecretCalls* secret = Secret();
    if (secret == nullptr)
        return Unavailable(nullptr, serial, failure);
    std::string password(key);
    GError* error = nullptr;
    const bool stored = secret->store(&kSchema, SECRET_COLLECTION_DEFAULT, label.c_str(), password.c_str(), nullptr,
                                      &error, "serial", serial.c_str(), nullptr) != FALSE;
    OPENSSL_cleanse(password.data(), password.size());
    return stored || Unavailable(error, serial, failure);
}

std::optional<SecretBytes> Find(const std::string& serial, TokenFailure& failure)
{
    const SecretCalls* secret = Secret();
    GError* error = nullptr;
    gchar* key = secret ? secret->lookup(&kSchema, nullptr, &error, "serial", serial.c_str(), nullptr) : nullptr;
    if (secret == nullptr || error != nullptr) {
        Unavailable(error, serial, failure);
        return std::nullopt;
    }
    if (key == nullptr) {
        failure = {"Token key missing", "The keyring gave no key for token " + serial + "."};
        return std::nullopt;
    }
    SecretBytes found(key, key + std::strlen(key));
    secret->freePassword(key); // wiped as it is freed
    return found;
}

bool Remove(const std::string& serial, TokenFailure& failure)
{
    const SecretCalls* secret = Secret();
    if (secret == nullptr)
        return Unavailable(nullptr, serial, failure);
    GError* error = nullptr;
    secret->clear(&kSchema, nullptr, &error, "serial", serial.c_str(), nullptr);
    return error == nullptr || Unavailable(error, serial, failure);
}

} // namespace Keyring
