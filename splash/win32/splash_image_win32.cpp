#include "splash_image.h"

#include "splash_output.h"
#include "splash_picture_size.h"

#include <windows.h>

#include <objbase.h>
#include <wincodec.h>

#include <cstring>

void splash_bitmap_deleter::operator()(HBITMAP bitmap) const noexcept
{
    DeleteObject(bitmap);
}

namespace {

struct com_release {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};
template <class Interface>
using com_ptr = std::unique_ptr<Interface, com_release>;

// The stream owns its global block: releasing the stream frees it.
com_ptr<IStream> stream_on_copy(const void* bytes, SIZE_T size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr)
        return nullptr;
    void* target = GlobalLock(block);
    if (target == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    if (size != 0)
        std::memcpy(target, bytes, size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return nullptr;
    }
    return com_ptr<IStream>(stream);
}

com_ptr<IWICBitmapSource> decode_png_stream(IStream* stream)
{
    IWICBitmapDecoder* created = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICPngDecoder1, nullptr, CLSCTX_INPROC_SERVER, IID_IWICBitmapDecoder,
                                reinterpret_cast<void**>(&created)))) {
        splash_line("Failed to create instance of PNG decoder");
        return nullptr;
    }
    com_ptr<IWICBitmapDecoder> decoder(created);
    if (FAILED(decoder->Initialize(stream, WICDecodeMetadataCacheOnLoad))) {
        splash_line("Failed to initialize PNG decoder");
        return nullptr;
    }
    UINT frames = 0;
    if (FAILED(decoder->GetFrameCount(&frames)) || frames != 1) {
        splash_line("Failed to check frame count, should be 1");
        return nullptr;
    }
    IWICBitmapFrameDecode* first = nullptr;
    if (FAILED(decoder->GetFrame(0, &first))) {
        splash_line("Failed to load first frame");
        return nullptr;
    }
    com_ptr<IWICBitmapFrameDecode> frame(first);
    // A failed conversion leaves the result empty; nothing else to say.
    IWICBitmapSource* converted = nullptr;
    WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.get(), &converted);
    return com_ptr<IWICBitmapSource>(converted);
}

splash_bitmap create_splash_bitmap(IWICBitmapSource* source)
{
    UINT width = 0;
    UINT height = 0;
    if (FAILED(source->GetSize(&width, &height)) || width == 0 || height == 0) {
        splash_error_line("Failed to get bitmap size");
        return nullptr;
    }
    // Before any pixel is allocated or decoded.
    if (!splash_size_allowed(width, height)) {
        splash_error_line(splash_size_refusal(width, height));
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    void* pixels = nullptr;
    HDC screen = GetDC(nullptr);
    splash_bitmap bitmap(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    ReleaseDC(nullptr, screen);
    if (!bitmap)
        return nullptr;

    const UINT stride = 4u * width;
    const UINT size = stride * height;
    if (FAILED(source->CopyPixels(nullptr, stride, size, static_cast<BYTE*>(pixels))))
        return nullptr;
    return bitmap;
}

splash_bitmap bitmap_from_stream(com_ptr<IStream> stream)
{
    if (!stream) {
        splash_line("Failed to create image stream");
        return nullptr;
    }
    com_ptr<IWICBitmapSource> source = decode_png_stream(stream.get());
    if (!source) {
        splash_line("Failed to load bitmap from stream");
        return nullptr;
    }
    return create_splash_bitmap(source.get());
}

// The splash thread joins the multithreaded apartment on its first load and
// stays; repeating the call is harmless.
void join_com_apartment()
{
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
}

} // namespace

splash_bitmap load_resource_splash_image()
{
    join_com_apartment();
    splash_line(std::string("Create stream on resource: ") + "IDI_SPLASHIMAGE" + " type: " + "PNG");
    com_ptr<IStream> stream;
    HRSRC resource = FindResourceA(nullptr, "IDI_SPLASHIMAGE", "PNG");
    if (resource == nullptr) {
        splash_line("Resource is not found");
    } else {
        const DWORD size = SizeofResource(nullptr, resource);
        HGLOBAL loaded = LoadResource(nullptr, resource);
        const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
        if (bytes != nullptr)
            stream = stream_on_copy(bytes, size);
    }
    return bitmap_from_stream(std::move(stream));
}

splash_bitmap load_png_splash_image(const splash_bytes& png)
{
    join_com_apartment();
    return bitmap_from_stream(stream_on_copy(png.data(), png.size()));
}
