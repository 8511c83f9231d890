#include "filetasks/content_insert.h"

#include "filetasks/content_rewrite.h"

namespace varnel {

std::optional<std::size_t> InsertOffset(std::string_view text, TextEncoding encoding, const ContentInsertParams& params) {
    switch (params.insertType) {
        case InsertType::Head: return 0;
        case InsertType::Tail: return text.size();
        case InsertType::LineStart: return OffsetOfLine(text, params.position, true);
        case InsertType::LineEnd: return OffsetOfLine(text, params.position, false);
        case InsertType::BytePosition: return Utf8OffsetOfBytePosition(text, encoding, params.position);
        case InsertType::CharPosition: return Utf8OffsetOfCharacter(text, params.position);
        case InsertType::BeforeLocator:
        case InsertType::AfterLocator: {
            if (params.locator.empty()) return std::nullopt;
            const std::size_t at = text.find(params.locator);
            if (at == std::string_view::npos) return std::nullopt;
            return params.insertType == InsertType::BeforeLocator ? at : at + params.locator.size();
        }
    }
    return std::nullopt;
}

void RunContentInsertTask(RunContext& run, RunRows& rows, const ContentInsertParams& params, PosixApi& os) {
    RunContentRows(
        run, rows,
        [&params](const ContentRow& row, std::string_view bytes, ContentSink& sink) -> std::expected<bool, Error> {
            return EditFileText(bytes, sink, [&](std::string_view text, TextEncoding encoding, TextWriter& out) -> std::expected<bool, Error> {
                const auto offset = InsertOffset(text, encoding, params);
                if (!offset) return false;
                auto inserted = row.expand(params.insertText);
                if (!inserted) return std::unexpected(inserted.error());
                for (std::string_view piece : {text.substr(0, *offset), std::string_view(*inserted), text.substr(*offset)}) {
                    if (auto put = out.Append(piece); !put) return std::unexpected(put.error());
                }
                return true;
            });
        },
        os);
}

}  // namespace varnel
