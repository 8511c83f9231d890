// A small mutation fuzzer for parsers, run inside a GoogleTest: starting from seed
// inputs it feeds the target mutated bytes (bit flips, random bytes, inserted or
// deleted runs, dictionary words, splices of two inputs) for a time budget. The
// random sequence has a fixed seed, so a run is repeatable; the sanitizer build
// turns memory errors and undefined behaviour into failures, and the target checks
// its own properties with EXPECT_*. The first failing input is printed as hex.
//
// The budget is VARNEL_FUZZ_SECONDS (default: a couple of seconds, for `make test`);
// `make fuzz` runs longer. VARNEL_FUZZ_SEED picks another random sequence.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace varnel::testing {

struct FuzzOptions {
    std::vector<std::string> seeds;
    std::vector<std::string> dictionary;  // words worth inserting whole (markers, keywords)
    std::size_t maxLength = 4096;
    double defaultSeconds = 2.0;
};

inline std::string HexOf(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}

class MutationFuzzer {
public:
    explicit MutationFuzzer(FuzzOptions options) : m_options(std::move(options)) {
        std::uint64_t seed = 20261210;
        if (const char* text = std::getenv("VARNEL_FUZZ_SEED")) seed = std::strtoull(text, nullptr, 10);
        m_random.seed(seed);
        m_seconds = m_options.defaultSeconds;
        if (const char* text = std::getenv("VARNEL_FUZZ_SECONDS")) m_seconds = std::strtod(text, nullptr);
        m_corpus = m_options.seeds;
        if (m_corpus.empty()) m_corpus.emplace_back();
    }

    // Runs the seeds, then mutations until the budget is spent or a check failed.
    // Returns the number of inputs run.
    std::uint64_t Run(const std::function<void(std::string_view)>& target) {
        std::uint64_t runs = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(m_seconds);
        for (const std::string& seed : m_options.seeds) {
            if (!RunOne(target, seed)) return runs;
            ++runs;
        }
        while (std::chrono::steady_clock::now() < deadline) {
            for (int batch = 0; batch < 64; ++batch) {
                std::string input = Mutate(m_corpus[Pick(m_corpus.size())]);
                if (!RunOne(target, input)) return runs;
                ++runs;
                // Keep some mutants as parents, so mutations pile up over time.
                if (Pick(8) == 0) {
                    if (m_corpus.size() < 512) {
                        m_corpus.push_back(std::move(input));
                    } else {
                        m_corpus[m_options.seeds.size() + Pick(m_corpus.size() - m_options.seeds.size())] =
                            std::move(input);
                    }
                }
            }
        }
        std::printf("[ fuzz     ] %llu inputs in %.1f s\n", static_cast<unsigned long long>(runs), m_seconds);
        return runs;
    }

    // A random number below n (n > 0), for targets that draw extra choices.
    std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_random); }

private:
    bool RunOne(const std::function<void(std::string_view)>& target, const std::string& input) {
        target(input);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "failing input (hex): " << HexOf(input);
            return false;
        }
        return true;
    }

    std::string Mutate(std::string data) {
        const int steps = 1 + static_cast<int>(Pick(4));
        for (int step = 0; step < steps; ++step) {
            const std::size_t size = data.size();
            switch (Pick(8)) {
                case 0:  // flip a bit
                    if (size > 0) data[Pick(size)] ^= static_cast<char>(1u << Pick(8));
                    break;
                case 1:  // set a byte, often to an edge value
                    if (size > 0) {
                        static constexpr unsigned char kEdges[] = {0, 0xFF, 0x7F, 0x80, '\r', '\n', '0', '9'};
                        data[Pick(size)] = static_cast<char>(Pick(2) ? kEdges[Pick(8)] : Pick(256));
                    }
                    break;
                case 2:  // insert random bytes
                    data.insert(Pick(size + 1), std::string(1 + Pick(8), static_cast<char>(Pick(256))));
                    break;
                case 3:  // delete a run
                    if (size > 0) {
                        const std::size_t at = Pick(size);
                        data.erase(at, 1 + Pick(std::min<std::size_t>(size - at, 16)));
                    }
                    break;
                case 4:  // duplicate a run
                    if (size > 0) {
                        const std::size_t at = Pick(size);
                        const std::string run = data.substr(at, 1 + Pick(std::min<std::size_t>(size - at, 32)));
                        data.insert(Pick(data.size() + 1), run);
                    }
                    break;
                case 5:  // a dictionary word
                    if (!m_options.dictionary.empty()) {
                        data.insert(Pick(size + 1), m_options.dictionary[Pick(m_options.dictionary.size())]);
                    }
                    break;
                case 6: {  // splice with another input
                    const std::string& other = m_corpus[Pick(m_corpus.size())];
                    data = data.substr(0, Pick(size + 1)) + other.substr(Pick(other.size() + 1));
                    break;
                }
                default:  // truncate
                    data.resize(Pick(size + 1));
                    break;
            }
        }
        if (data.size() > m_options.maxLength) data.resize(m_options.maxLength);
        return data;
    }

    FuzzOptions m_options;
    std::mt19937_64 m_random;
    double m_seconds = 2.0;
    std::vector<std::string> m_corpus;
};

}  // namespace varnel::testing
