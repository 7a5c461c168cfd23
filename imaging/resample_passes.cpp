// The two filtering passes of the stretch over precomputed tap arrays.
#include "imaging/resample_passes.h"

namespace fotoloom {

void IntermediateImage::Resize(int width, int height) {
  Width = width;
  Height = height;
  Stride = (static_cast<std::size_t>(width) * 3 + kRowAlign - 1) / kRowAlign * kRowAlign;
  Bytes.resize(Stride * static_cast<std::size_t>(height));
}

void HorizontalPass(const Image& source, const AxisTaps& taps, IntermediateImage& out, int firstRow, int lastRow,
                    std::vector<float>&) {
  for (int y = firstRow; y < lastRow; ++y) {
    const std::uint8_t* in = source.row(y);
    std::uint8_t* row = out.Row(y);
    for (int i = 0; i < out.Width; ++i) {
      const std::size_t base = static_cast<std::size_t>(i) * static_cast<std::size_t>(taps.Stride);
      const std::int32_t* index = taps.Index.data() + base;
      const float* weight = taps.Weight.data() + base;
      float r = 0, g = 0, b = 0;
      for (int k = 0, n = taps.Count[static_cast<std::size_t>(i)]; k < n; ++k) {
        const std::uint8_t* p = in + static_cast<std::size_t>(index[k]) * 3;
        r = AddProduct(r, p[0], weight[k]);
        g = AddProduct(g, p[1], weight[k]);
        b = AddProduct(b, p[2], weight[k]);
      }
      row[3 * i] = SumToByte(r);
      row[3 * i + 1] = SumToByte(g);
      row[3 * i + 2] = SumToByte(b);
    }
  }
}

void VerticalPass(const IntermediateImage& in, const AxisTaps& taps, Image& target, int firstColumn, int lastColumn) {
  for (int j = 0; j < target.height(); ++j) {
    const std::size_t base = static_cast<std::size_t>(j) * static_cast<std::size_t>(taps.Stride);
    const std::int32_t* index = taps.Index.data() + base;
    const float* weight = taps.Weight.data() + base;
    const int n = taps.Count[static_cast<std::size_t>(j)];
    std::uint8_t* out = target.row(j);
    for (std::size_t v = static_cast<std::size_t>(firstColumn) * 3; v < static_cast<std::size_t>(lastColumn) * 3; ++v) {
      float sum = 0;
      for (int k = 0; k < n; ++k) sum = AddProduct(sum, in.Row(index[k])[v], weight[k]);
      out[v] = SumToByte(sum);
    }
  }
}

}  // namespace fotoloom
