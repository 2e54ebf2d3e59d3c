// The floor for the Windows splash: the least a program does to put its
// PNG resource on screen through WIC. Decode, a DIB section, a STATIC window
// in bitmap mode, centred and shown; then it pumps messages until ended.
#include <windows.h>

#include <objbase.h>
#include <wincodec.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    HRSRC resource = FindResourceA(nullptr, "IDI_SPLASHIMAGE", "PNG");
    if (resource == nullptr)
        return 2;
    const DWORD size = SizeofResource(nullptr, resource);
    const void* bytes = LockResource(LoadResource(nullptr, resource));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    CopyMemory(GlobalLock(block), bytes, size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(block, TRUE, &stream);

    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICBitmapSource* converted = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICPngDecoder1, nullptr, CLSCTX_INPROC_SERVER, IID_IWICBitmapDecoder,
                                reinterpret_cast<void**>(&decoder))) ||
        FAILED(decoder->Initialize(stream, WICDecodeMetadataCacheOnLoad)) || FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame, &converted)))
        return 2;
    UINT width = 0, height = 0;
    converted->GetSize(&width, &height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* pixels = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    ReleaseDC(nullptr, screen);
    converted->CopyPixels(nullptr, 4 * width, 4 * width * height, static_cast<BYTE*>(pixels));

    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "floor", WS_POPUP | SS_BITMAP,
                                  (GetSystemMetrics(SM_CXSCREEN) - static_cast<int>(width)) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - static_cast<int>(height)) / 2, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    SendMessageA(window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
