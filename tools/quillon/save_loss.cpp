#include "save_loss.h"

#include <cstring>
#include <vector>

#include "platform/ansi_text.h"
#include "xml/xml_reader.h"

namespace quillon::cli {
namespace {

bool IsBlank(const char* text) { return std::strspn(text, " \t\r\n") == std::strlen(text); }

// Follows the reader's events and keeps the earliest loss.
class LossFinder {
public:
    explicit LossFinder(const std::string& text) : text_(text) {
        // Blank text is layout, whether the reader reports it or not.
        reader_.SetCallback(&LossFinder::OnEvent, this);
    }

    std::optional<SaveLoss> Run() {
        ScanMarkup();
        reader_.ParseText(text_.c_str());
        if (endOfDocument_ < static_cast<int32_t>(text_.size())) Note(endOfDocument_, "text after the root element");
        return loss_;
    }

private:
    struct Open {
        std::string name;
        bool hasChildren = false;
        int32_t textAt = -1;  // the first text that is not blank
    };

    // Constructs the reader reads without firing an event.
    void ScanMarkup() {
        for (size_t i = 0; i + 1 < text_.size(); ++i) {
            const char* at = text_.c_str() + i;
            auto position = static_cast<int32_t>(i);
            if (std::strncmp(at, "<!--", 4) == 0) Note(position, "a comment");
            else if (std::strncmp(at, "<![CDATA[", 9) == 0) Note(position, "a CDATA section");
            else if (std::strncmp(at, "<!", 2) == 0) Note(position, "a document type declaration");
            else if (std::strncmp(at, "<?", 2) == 0 && i > 0) Note(position, "a processing instruction");
            else if (std::strncmp(at, "&#", 2) == 0) Note(position, "a character reference");
            else continue;
            return;  // the first one is the earliest
        }
    }

    static int32_t OnEvent(int32_t event, const void* payload, void* context) {
        static_cast<LossFinder*>(context)->Handle(event, payload);
        return 0;
    }

    void Handle(int32_t event, const void* payload) {
        const auto* token = static_cast<const XMLToken*>(payload);
        int32_t position = reader_.Position();
        switch (event) {
            case kStartElement:
                if (!open_.empty()) open_.back().hasChildren = true;
                open_.push_back({token->Text()});
                if (open_.size() == 2 && ++sections_ > 1)
                    Note(position - token->Length() - 1, "a second element below ROOT ('" + open_.back().name + "')");
                break;
            case kAttributeName:
                inAttribute_ = true;
                if (open_.size() != 2 || !(token->Equals("Name") || token->Equals("Version") || token->Equals("Signature")))
                    Note(position - token->Length(), std::string("attribute '") + token->Text() + "'");
                break;
            case kAttributeEnd:
                inAttribute_ = false;
                break;
            case kEntityReference: {
                if (open_.empty()) break;  // inside the document type, reported already
                const auto* pair = static_cast<const XMLPair*>(payload);
                int32_t start = position - pair->name.Length() - 2;
                if (inAttribute_) Note(start, "a reference in an attribute value");
                else if (pair->value.Text() == nullptr) Note(start, std::string("a reference to '") + pair->name.Text() + "'");
                else if (open_.back().textAt < 0) open_.back().textAt = start;
                break;
            }
            case kText:
                if (!open_.empty() && !IsBlank(token->Text()) && open_.back().textAt < 0) open_.back().textAt = position - token->Length();
                break;
            case kEndElement:
                // Only leaves keep their text; ROOT and the section are no nodes.
                if (open_.back().textAt >= 0 && open_.size() <= 2)
                    Note(open_.back().textAt, "text directly in '" + open_.back().name + "'");
                else if (open_.back().textAt >= 0 && open_.back().hasChildren)
                    Note(open_.back().textAt, "text beside child elements in '" + open_.back().name + "'");
                open_.pop_back();
                break;
            case kEncoding:
                if (platform::CompareAnsiNoCase(token->Text(), "ISO-8859-1") != 0)
                    Note(position - token->Length() - 1, std::string("the encoding '") + token->Text() + "'");
                break;
            case kEndDocument:
                endOfDocument_ = position;
                break;
            default:
                break;
        }
    }

    void Note(int32_t position, const std::string& what) {
        if (!loss_ || position < loss_->position) loss_ = SaveLoss{position, what};
    }

    const std::string& text_;
    XMLReader reader_;
    std::vector<Open> open_;
    int sections_ = 0;
    bool inAttribute_ = false;
    int32_t endOfDocument_ = 0;
    std::optional<SaveLoss> loss_;
};

}  // namespace

std::optional<SaveLoss> FindSaveLoss(const std::string& text) { return LossFinder(text).Run(); }

}  // namespace quillon::cli
