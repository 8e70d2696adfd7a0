// Speed of each stage on a conforming bitmap in memory (plain and RLE8):
// reading headers and body, conversion, and writing the land file into
// memory. Bytes per second count the 1336320 input pixels.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bitmap/bitmap_reader.hpp"
#include "bitmap/bitmap_writer.hpp"
#include "land/land_conversion.hpp"
#include "land/land_format.hpp"
#include "land/land_mask.hpp"
#include "land/land_writer.hpp"

namespace {

using namespace bmp2land;

constexpr std::int64_t kPixels = bitmap::kPixelCount;

// A level-like picture: rows of land and sky, 30 markers.
std::vector<std::uint8_t> picture() {
    std::vector<std::uint8_t> p(bitmap::kPixelCount);
    for (std::size_t i = 0; i < p.size(); ++i) {
        const std::size_t x = i % 1920;
        const std::size_t row = i / 1920;
        p[i] = row < 400 + x % 50 ? static_cast<std::uint8_t>(1 + (x / 16 + row) % 95) : 0;
    }
    for (std::size_t k = 0; k < 30; ++k)
        p[k * 44497 + 11] = 255;
    return p;
}

std::vector<std::uint8_t> rle8(const std::vector<std::uint8_t>& pixels) {
    std::vector<std::uint8_t> out;
    for (std::size_t row = 0; row < 696; ++row) {
        for (std::size_t x = 0; x < 1920;) {
            const std::uint8_t v = pixels[row * 1920 + x];
            std::size_t n = 1;
            while (x + n < 1920 && n < 255 && pixels[row * 1920 + x + n] == v)
                ++n;
            out.push_back(static_cast<std::uint8_t>(n));
            out.push_back(v);
            x += n;
        }
        out.push_back(0);
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}

std::vector<std::uint8_t> bitmapFile(std::uint32_t compression) {
    bitmap::BitmapImage image;
    const bitmap::BitmapHeaders headers = bitmap::plainHeaders();
    image.fileHeader = headers.file;
    image.infoHeader = headers.info;
    image.infoHeader.biCompression = compression;
    for (std::size_t i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        image.palette[i] = bitmap::RgbQuad{v, v, v, 0};
    }
    image.pixels = compression == bitmap::kBiRle8 ? rle8(picture()) : picture();
    MemorySink file;
    benchmark::DoNotOptimize(bitmap::writeBitmap(image, file));
    return file.data;
}

bitmap::BitmapImage load(const std::vector<std::uint8_t>& file) {
    const auto headers = bitmap::readHeaders(file);
    return *bitmap::readBody(file, *headers);
}

void BM_Read(benchmark::State& state, std::uint32_t compression) {
    const std::vector<std::uint8_t> file = bitmapFile(compression);
    for (auto _ : state) {
        bitmap::BitmapImage image = load(file);
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * kPixels);
}
BENCHMARK_CAPTURE(BM_Read, plain, bitmap::kBiRgb);
BENCHMARK_CAPTURE(BM_Read, rle8, bitmap::kBiRle8);

void BM_Convert(benchmark::State& state) {
    const bitmap::BitmapImage image = load(bitmapFile(bitmap::kBiRgb));
    for (auto _ : state) {
        auto model = land::convert(image);
        benchmark::DoNotOptimize(model->mask.data());
    }
    state.SetBytesProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_Convert);

void BM_Write(benchmark::State& state) {
    const auto model = land::convert(load(bitmapFile(bitmap::kBiRgb)));
    MemorySink sink;
    sink.data.reserve(land::kLandFileSize);
    for (auto _ : state) {
        sink.data.clear();
        benchmark::DoNotOptimize(land::write(*model, sink));
    }
    state.SetBytesProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_Write);

// The budgeted pair: conversion plus writing into memory.
void BM_ConvertAndWrite(benchmark::State& state) {
    const bitmap::BitmapImage image = load(bitmapFile(bitmap::kBiRgb));
    MemorySink sink;
    sink.data.reserve(land::kLandFileSize);
    for (auto _ : state) {
        sink.data.clear();
        auto model = land::convert(image);
        benchmark::DoNotOptimize(land::write(*model, sink));
    }
    state.SetBytesProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_ConvertAndWrite);

void BM_Mask(benchmark::State& state) {
    const std::vector<std::uint8_t> pixels = picture();
    std::vector<std::uint8_t> mask(land::kMaskLength);
    for (auto _ : state) {
        land::buildMask(pixels, mask);
        benchmark::DoNotOptimize(mask.data());
    }
    state.SetBytesProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_Mask);

}  // namespace

BENCHMARK_MAIN();
