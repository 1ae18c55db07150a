#include "TokenFixtures.h"

SecretBytes RfcSeed()
{
    const std::string text = "12345678901234567890";
    return {text.begin(), text.end()};
}

StoredToken MakeToken(const std::string& serial, const std::string& user, const std::string& passphrase,
                      TotpParameters parameters)
{
    StoredToken token;
    token.serial = serial;
    token.user = user;
    token.parameters = parameters;
    token.seed = RfcSeed();
    if (!passphrase.empty()) {
        token.sealed = SeedCipher::Seal(token.seed, passphrase, serial, 1000);
        token.isProtected = true;
        token.seed.clear();
    }
    return token;
}
