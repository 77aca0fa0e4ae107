#ifndef ZARN_EVENT_PARSERTABLE_H
#define ZARN_EVENT_PARSERTABLE_H

class FlowProperty;
class Tavrel;
class formulaParser;

// Which event owns which formula parsers. The table lives outside the event
// so that the record keeps its plain layout. A parser stays alive while its
// event exists: modules keep pointers to it, also after its property was
// replaced or erased.
// Threads: any thread; the table guards itself.
namespace parserTable {

// `event` owns `parser` from now on.
void adopt(const Tavrel* event, formulaParser* parser);
// Deletes the parsers that `event` owns.
void freeParsers(const Tavrel* event);
// The event that owns `parser`, or null.
Tavrel* ownerOf(const formulaParser* parser);
// Makes every parser look its names up again, because a property went away;
// parsers of the property `gone` (if any) lose it.
void forgetResolvedNames(const FlowProperty* gone);

}  // namespace parserTable

#endif
