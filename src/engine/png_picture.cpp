#include "png_picture.h"

#include <wincodec.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "com_handles.h"
#include "com_init.h"

namespace {

std::uint32_t On_White(std::uint32_t bgra) {
    const std::uint32_t a = bgra >> 24;
    if (a == 255) return bgra & 0xFFFFFF;
    // Premultiplied colour (as the converter gives it) plus the white that shows through.
    auto mix = [a](std::uint32_t c) { return std::min<std::uint32_t>(c + (255 - a), 255); };
    return mix(bgra >> 16 & 0xFF) << 16 | mix(bgra >> 8 & 0xFF) << 8 | mix(bgra & 0xFF);
}

}  // namespace

std::optional<Bitmap_Image> Decode_Png(std::string_view png) {
    if (png.empty() || png.size() > 0x7FFFFFFF) return std::nullopt;
    // COM for one decode on a thread that may have none (the clipboard capture's).
    const Com_Init com(COINIT_MULTITHREADED);
    if (!com.Usable()) return std::nullopt;
    Com_Ptr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.Put()))))
        return std::nullopt;
    Com_Ptr<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.Put()))) return std::nullopt;
    // The stream reads the caller's bytes in place: they outlive every object made here.
    auto* bytes = reinterpret_cast<BYTE*>(const_cast<char*>(png.data()));
    if (FAILED(stream->InitializeFromMemory(bytes, static_cast<DWORD>(png.size())))) return std::nullopt;
    Com_Ptr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(stream.Get(), &GUID_ContainerFormatPng, WICDecodeMetadataCacheOnDemand,
                                                decoder.Put())))
        return std::nullopt;
    Com_Ptr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.Put()))) return std::nullopt;
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 || width > Max_Picture_Side ||
        height > Max_Picture_Side || static_cast<std::int64_t>(width) * height > Max_Picture_Pixels)
        return std::nullopt;
    Com_Ptr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Put())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)))
        return std::nullopt;
    Bitmap_Image image;
    image.Width = static_cast<int>(width);
    image.Height = static_cast<int>(height);
    image.Pixels.resize(static_cast<std::size_t>(width) * height);
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, static_cast<UINT>(image.Pixels.size() * 4),
                                     reinterpret_cast<BYTE*>(image.Pixels.data()))))
        return std::nullopt;
    for (std::uint32_t& p : image.Pixels) p = On_White(p);
    return image;
}
