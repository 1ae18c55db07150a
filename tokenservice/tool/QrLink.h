#pragma once

#include "WipingAllocator.h"

#include <string>

// The otpauth://totp link in the one QR code of a PNG or JPEG image: a provider's code as
// shown, photographed or on a screenshot of a whole screen, turned or not. `path` "-" reads the
// image from standard input. False with `problem` set (never showing what the code holds) when
// the image cannot be read, or holds no QR code, more than one, or one that is no otpauth://totp
// link. The image's bytes and pixels are wiped once decoded.
bool ReadQrLink(const std::string& path, SecretBytes& link, std::string& problem);
