#include "QrLink.h"

// text() as UTF-8, as the next zxing-cpp releases have it.
#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>
#include <jpeglib.h>
#include <openssl/crypto.h>
#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <strings.h>
#include <unistd.h>
#include <vector>

namespace {

// A screenshot of a large screen as PNG, with room to spare; more is no image of a code.
constexpr std::size_t kMostImageBytes = 64 * 1024 * 1024;

bool Refuse(std::string& problem, std::string text)
{
    problem = std::move(text);
    return false;
}

// An image as bytes, then as grey pixels, a byte each, row after row.
using Bytes = std::vector<unsigned char>;

void Wipe(Bytes& bytes)
{
    OPENSSL_cleanse(bytes.data(), bytes.size());
    bytes.clear();
}

std::string NameOf(const std::string& path)
{
    return path == "-" ? "the image on standard input" : path;
}

bool ReadImageFile(const std::string& path, Bytes& bytes, std::string& problem)
{
    const int fd = path == "-" ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Refuse(problem, "cannot open " + path + ": " + std::strerror(errno));
    char buffer[65536];
    ssize_t got = 0;
    while (bytes.size() <= kMostImageBytes && (got = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    const int error = got < 0 ? errno : 0;
    OPENSSL_cleanse(buffer, sizeof buffer);
    if (fd != STDIN_FILENO)
        ::close(fd);
    if (error != 0)
        return Refuse(problem, "cannot read " + NameOf(path) + ": " + std::strerror(error));
    if (bytes.size() > kMostImageBytes)
        return Refuse(problem, NameOf(path) + " is larger than 64 MiB: no image of a QR code");
    return true;
}

// A PNG file's pixels, on white where it is transparent.
bool DecodePng(const Bytes& file, Bytes& grey, int& width, int& height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return false;
    image.format = PNG_FORMAT_GRAY;
    grey.resize(PNG_IMAGE_SIZE(image));
    const png_color white{255, 255, 255};
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    const bool done = png_image_finish_read(&image, &white, grey.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return done;
}

// libjpeg ends a fault by calling error_exit, which must not return: back to the setjmp.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf faulted;
};

// A JPEG file's pixels. No C++ object lives between setjmp and a longjmp to it.
bool DecodeJpeg(const Bytes& file, Bytes& grey, int& width, int& height)
{
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = [](j_common_ptr common) {
        std::longjmp(reinterpret_cast<JpegErrors*>(common->err)->faulted, 1);
    };
    errors.manager.output_message = [](j_common_ptr) {};
    jpeg_create_decompress(&info);
    if (setjmp(errors.faulted) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_GRAYSCALE;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    grey.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = grey.data() + static_cast<std::size_t>(info.output_scanline) * static_cast<std::size_t>(width);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// The QR codes in a PNG or JPEG image; none when it is neither. File and pixels are wiped.
std::optional<ZXing::Results> Decode(Bytes& file)
{
    Bytes grey;
    int width = 0;
    int height = 0;
    const bool isPng = file.size() >= 8 && png_sig_cmp(file.data(), 0, 8) == 0;
    const bool isJpeg = file.size() >= 3 && file[0] == 0xff && file[1] == 0xd8 && file[2] == 0xff;
    const bool decoded =
        (isPng && DecodePng(file, grey, width, height)) || (isJpeg && DecodeJpeg(file, grey, width, height));
    Wipe(file);
    if (!decoded || width <= 0 || height <= 0) {
        Wipe(grey);
        return std::nullopt;
    }
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    ZXing::Results results = ZXing::ReadBarcodes({grey.data(), width, height, ZXing::ImageFormat::Lum}, hints);
    Wipe(grey);
    return results;
}

bool IsTotpLink(const std::string& text)
{
    constexpr std::size_t kPrefix = sizeof "otpauth://totp/" - 1;
    return text.size() > kPrefix && ::strncasecmp(text.c_str(), "otpauth://totp/", kPrefix) == 0;
}

} // namespace

bool ReadQrLink(const std::string& path, SecretBytes& link, std::string& problem)
{
    Bytes bytes;
    const bool read = ReadImageFile(path, bytes, problem);
    std::optional<ZXing::Results> results = read ? Decode(bytes) : std::nullopt;
    Wipe(bytes);
    if (!read)
        return false;
    if (!results)
        return Refuse(problem, "cannot read " + NameOf(path) + " as a PNG or JPEG image");
    std::string text = results->size() == 1 ? results->front().text() : std::string();
    for (const ZXing::Result& result : *results) { // the decoder's copy of what the code holds
        auto& held = const_cast<ZXing::ByteArray&>(result.bytes());
        OPENSSL_cleanse(held.data(), held.size());
    }
    if (results->empty())
        return Refuse(problem, "found no QR code in " + NameOf(path));
    if (results->size() > 1)
        return Refuse(problem, "found " + std::to_string(results->size()) + " QR codes in " + NameOf(path) +
                                   ": give an image of the token's code alone");
    const bool isLink = IsTotpLink(text);
    if (isLink)
        link.assign(text.begin(), text.end());
    OPENSSL_cleanse(text.data(), text.size());
    return isLink || Refuse(problem, "the QR code in " + NameOf(path) + " holds no otpauth://totp link");
}
