#include "xmlio/progress_cursor.h"

namespace corvane {
namespace xmlio {

const char kSaveMessage[] = "\xD5\xFD\xD4\xDA\xB1\xA3\xB4\xE6XML\xCE\xC4\xBC\xFE...";
const char kReadMessage[] = "\xD5\xFD\xD4\xDA\xB6\xC1\xC8\xA1XML\xCE\xC4\xBC\xFE...";

}  // namespace xmlio
}  // namespace corvane
