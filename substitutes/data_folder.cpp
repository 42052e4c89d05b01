#include "data_folder.h"

#include <cstdlib>
#include <optional>

namespace vantrel::substitutes {

using automation::Text;
using automation::TextView;

namespace {
std::optional<Text>& configured() {
    static std::optional<Text> folder;
    return folder;
}
}  // namespace

Text dataFolder() {
    if (configured()) return *configured();
    const char* env = std::getenv("QUORILVANTREL_DATA");
    Text folder = env ? automation::fromUtf8(env) : Text();
    while (folder.size() > 1 && (folder.back() == u'\\' || folder.back() == u'/'))
        folder.pop_back();
    return folder;
}

void setDataFolder(TextView folder) {
    Text f(folder);
    while (f.size() > 1 && (f.back() == u'\\' || f.back() == u'/')) f.pop_back();
    configured() = f;
}

Text databaseFile(TextView catalog) {
    return dataFolder() + u"\\databases\\" + Text(catalog) + u".sqlite";
}

}  // namespace vantrel::substitutes
