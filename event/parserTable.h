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
// The event that owns `parser`, or null.
Tavrel* ownerOf(const formulaParser* parser);
// `event` gained a property: the parsers it owns look their names up again,
// since a name they did not find may be there now. Other parsers keep theirs.
void propertyAdded(const Tavrel* event);
// `event` is about to lose the property `gone`: the parsers it owns, and any
// parser that found `gone`, look their names up again; the parsers of `gone`
// itself lose their property.
void propertyErased(const Tavrel* event, const FlowProperty* gone);
// `event` is being destroyed: deletes the parsers it owns; any other parser
// that found one of its properties looks its names up again.
void eventDestroyed(const Tavrel* event);

}  // namespace parserTable

#endif
