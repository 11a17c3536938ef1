// make-curve CSV OUT: writes the curve file OUT from the conversion table CSV.
// make-curve --formula pumped2011 OUT: writes it from a published formula,
// each cell the formula's strength rounded to 0.1 MPa.
// The shipped curves are produced with
//   make-curve tools/data/uniform-conversion-table.csv data/curve/normal.cur
//   make-curve --formula pumped2011 data/curve/pumped2011.cur
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string_view>

#include "curve_table.h"
#include "platform/files.h"

int main(int argc, char** argv) {
    const bool formula = argc == 4 && std::string_view(argv[1]) == "--formula";
    if (argc != 3 && !formula) {
        std::cerr << "Usage: make-curve CSV OUT\n       make-curve --formula pumped2011 OUT\n"
                     "Writes the strength curve file OUT from the table CSV or a published formula.\n";
        return 2;
    }
    const std::filesystem::path target(argv[formula ? 3 : 2]);
    rebound::Strength_Curve curve;
    if (formula) {
        if (std::string_view(argv[2]) != "pumped2011") {
            std::cerr << "make-curve: unknown formula " << argv[2] << " (known: pumped2011)\n";
            return 2;
        }
        curve = rebound::build_curve(rebound::tools::pumped_concrete_2011());
    } else {
        const std::filesystem::path source(argv[1]);
        std::ifstream in(source, std::ios::binary);
        if (!in) {
            std::cerr << "make-curve: " << source.string() << ": cannot be opened\n";
            return 1;
        }
        std::string error;
        if (!rebound::tools::curve_from_csv(in, curve, error)) {
            std::cerr << "make-curve: " << source.string() << ": " << error << "\n";
            return 1;
        }
    }
    const std::string bytes = curve.to_bytes();
    const rebound::Result<void> written = rebound::platform::write_file_atomically(
        target, [&](rebound::platform::ByteSink& sink) { return sink.write(bytes.data(), bytes.size()); });
    if (!written) {
        std::cerr << "make-curve: " << target.string() << ": cannot be written: " << written.error().message
                  << "\n";
        return 1;
    }
    std::cout << target.string() << ": " << curve.row_count << " rows x " << curve.column_count
              << " columns\n";
    return 0;
}
