// make-curve CSV OUT: writes the curve file OUT from the conversion table CSV.
// The shipped data/curve/normal.cur is produced with
//   make-curve tools/data/uniform-conversion-table.csv data/curve/normal.cur
#include <filesystem>
#include <fstream>
#include <iostream>

#include "curve_table.h"
#include "platform/files.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "Usage: make-curve CSV OUT\nWrites the strength curve file OUT from the table CSV.\n";
        return 2;
    }
    const std::filesystem::path source(argv[1]);
    const std::filesystem::path target(argv[2]);
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        std::cerr << "make-curve: " << source.string() << ": cannot be opened\n";
        return 1;
    }
    rebound::Strength_Curve curve;
    std::string error;
    if (!rebound::tools::curve_from_csv(in, curve, error)) {
        std::cerr << "make-curve: " << source.string() << ": " << error << "\n";
        return 1;
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
