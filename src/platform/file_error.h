// One way to fail at the file boundary. Every operation that reads or writes
// one of the application's files (project, exported component, device record,
// curve, settings, report outputs, the atomic save beneath them) returns a
// Result: the value, or one FileError that says which file, where in it, which
// field and what went wrong. The command-line tool and the window only decide
// how to show it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace rebound {

struct FileError {
    enum class Kind {
        CannotOpen,   // missing, a folder, no permission: nothing was read or written
        Malformed,    // the content breaks off, is inconsistent or too large to be read
        Unsupported,  // not a kind of file the operation handles (by its extension)
        WriteFailed,  // the destination refused the bytes; the previous file is kept
        Busy,         // another program is changing the file; nothing was read or written
    };

    Kind kind = Kind::Malformed;
    // The file concerned; empty for data that never was a file.
    std::filesystem::path file;
    // Byte offset from the start of the data where the error applies.
    std::optional<std::uint64_t> offset;
    // The field being read or written, as the messages name it ("the project
    // name"); empty when the error concerns the file as a whole.
    std::string field;
    // One line of UTF-8, complete in itself, without the file's name
    // ("component 2 of 2: the data ends inside ... at byte 684 (...)").
    std::string message;

    // The message again, for a reader that shows it in another language: its
    // parts, the outermost first ("component 2 of 2", then what went wrong
    // there), each an English sentence named by a code whose arguments fill
    // its %1, %2, ... in order (numbers, field labels as record_layout.h
    // names them, texts of the system). `message` is these sentences joined
    // by ": ". Empty when no sentence is coded; the kind then says enough.
    struct Sentence {
        std::string code;
        std::vector<std::string> args;
        bool operator==(const Sentence&) const = default;
    };
    std::vector<Sentence> sentences{};

    // Sets the message and its one sentence.
    FileError& say(std::string code, std::vector<std::string> args, std::string english) {
        sentences = {Sentence{std::move(code), std::move(args)}};
        message = std::move(english);
        return *this;
    }
    // Puts a sentence that says where in front of the message.
    FileError& prefix(std::string code, std::vector<std::string> args, const std::string& english) {
        sentences.insert(sentences.begin(), Sentence{std::move(code), std::move(args)});
        message = english + ": " + message;
        return *this;
    }

    bool operator==(const FileError&) const = default;
};

// The value of a successful operation, or the error of a failed one.
// Converts to true on success; value() of a failed result (and error() of a
// successful one) is a programming error and throws std::logic_error.
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(FileError error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(checked()); }
    const T& value() const& { return std::get<0>(checked()); }
    T&& value() && { return std::get<0>(std::move(checked())); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const FileError& error() const {
        if (ok()) throw std::logic_error("error() of a successful result");
        return std::get<1>(state_);
    }

private:
    std::variant<T, FileError>& checked() {
        if (!ok()) throw std::logic_error("value() of a failed result: " + std::get<1>(state_).message);
        return state_;
    }
    const std::variant<T, FileError>& checked() const {
        if (!ok()) throw std::logic_error("value() of a failed result: " + std::get<1>(state_).message);
        return state_;
    }

    std::variant<T, FileError> state_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(FileError error) : error_(std::move(error)) {}

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }

    const FileError& error() const {
        if (ok()) throw std::logic_error("error() of a successful result");
        return *error_;
    }

private:
    std::optional<FileError> error_;
};

// The error a FileError carries when it has to travel as an exception
// (inside a reader or writer, up to the function that returns the Result).
class FileFailure : public std::runtime_error {
public:
    explicit FileFailure(FileError error) : std::runtime_error(error.message), error_(std::move(error)) {}
    const FileError& error() const { return error_; }

private:
    FileError error_;
};

}  // namespace rebound
