// PNG pictures on Windows: WIC decodes them from a memory stream into a
// top-down 32-bit DIB section.
#include "splash_image.h"

#include "splash_gdi_win32.h"
#include "splash_output.h"
#include "splash_picture_size.h"

#include <windows.h>

#include <objbase.h>
#include <wincodec.h>

#include <cstring>

void splash_bitmap_traits::close(HBITMAP bitmap) noexcept
{
    DeleteObject(bitmap);
}

namespace {

template <class Interface>
struct com_traits {
    using handle_type = Interface*;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type object) noexcept { object->Release(); }
};
template <class Interface>
using com_ptr = unique_handle<com_traits<Interface>>;

struct global_memory_traits {
    using handle_type = HGLOBAL;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type block) noexcept { GlobalFree(block); }
};
using global_memory = unique_handle<global_memory_traits>;

// A block GlobalLock has locked, unlocked once.
struct global_lock_traits {
    using handle_type = HGLOBAL;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type block) noexcept { GlobalUnlock(block); }
};
using global_lock = unique_handle<global_lock_traits>;

// The stream owns its global block: releasing the stream frees it.
com_ptr<IStream> stream_on_copy(const void* bytes, SIZE_T size)
{
    global_memory block(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block)
        return {};
    void* target = GlobalLock(block.get());
    if (target == nullptr)
        return {};
    {
        const global_lock locked(block.get());
        if (size != 0)
            std::memcpy(target, bytes, size);
    }
    com_ptr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, stream.out())))
        return {};
    (void)block.release();
    return stream;
}

com_ptr<IWICBitmapSource> decode_png_stream(IStream* stream)
{
    com_ptr<IWICBitmapDecoder> decoder;
    if (FAILED(CoCreateInstance(CLSID_WICPngDecoder1, nullptr, CLSCTX_INPROC_SERVER, IID_IWICBitmapDecoder,
                                reinterpret_cast<void**>(decoder.out())))) {
        splash_line("Failed to create instance of PNG decoder");
        return {};
    }
    if (FAILED(decoder.get()->Initialize(stream, WICDecodeMetadataCacheOnLoad))) {
        splash_line("Failed to initialize PNG decoder");
        return {};
    }
    UINT frames = 0;
    if (FAILED(decoder.get()->GetFrameCount(&frames)) || frames != 1) {
        splash_line("Failed to check frame count, should be 1");
        return {};
    }
    com_ptr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder.get()->GetFrame(0, frame.out()))) {
        splash_line("Failed to load first frame");
        return {};
    }
    // A failed conversion leaves the result empty; nothing else to say.
    com_ptr<IWICBitmapSource> converted;
    WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.get(), converted.out());
    return converted;
}

splash_bitmap create_splash_bitmap(IWICBitmapSource* source)
{
    UINT width = 0;
    UINT height = 0;
    if (FAILED(source->GetSize(&width, &height)) || width == 0 || height == 0) {
        splash_error_line("Failed to get bitmap size");
        return {};
    }
    // Before any pixel is allocated or decoded.
    if (!splash_size_allowed(width, height)) {
        splash_error_line(splash_size_refusal(width, height));
        return {};
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    void* pixels = nullptr;
    splash_bitmap bitmap(
        CreateDIBSection(screen_dc_of_desktop().get(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bitmap)
        return bitmap;

    const UINT stride = 4u * width;
    const UINT size = stride * height;
    if (FAILED(source->CopyPixels(nullptr, stride, size, static_cast<BYTE*>(pixels))))
        return {};
    return bitmap;
}

splash_bitmap bitmap_from_stream(com_ptr<IStream> stream)
{
    if (!stream) {
        splash_line("Failed to create image stream");
        return {};
    }
    com_ptr<IWICBitmapSource> source = decode_png_stream(stream.get());
    if (!source) {
        splash_line("Failed to load bitmap from stream");
        return {};
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
