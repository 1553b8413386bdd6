// Parser: recursive descent over the tokens of a model file.
#include "lang/Parser.h"

#include <set>
#include <stdexcept>

#include "lang/Lexer.h"

namespace lang {

namespace {

struct SyntaxError {
  Pos pos;
  std::string message;
};

// Words that cannot be names: they would be ambiguous inside expressions.
// The other words of the language are keywords only where an item starts.
const std::set<std::string> kKeywords = {"if", "then", "else", "and", "or", "not", "true", "false"};

// Deepest nesting of expressions and blocks accepted, so a hostile file
// cannot exhaust the stack.
constexpr int kMaxDepth = 200;

class Parser {
 public:
  Parser(std::vector<Token> tokens, Model& model) : t_(std::move(tokens)), m_(model) {}

  void File() {
    Expect("model");
    m_.namePos = Peek().pos;
    m_.name = Name("a model name");
    while (!AtEnd()) TopLevel();
  }

 private:
  const Token& Peek(int ahead = 0) const {
    size_t k = pos_ + static_cast<size_t>(ahead);
    return k < t_.size() ? t_[k] : t_.back();
  }
  bool AtEnd() const { return Peek().kind == Token::kEnd; }
  [[noreturn]] void Fail(const std::string& what) const {
    const Token& tok = Peek();
    std::string found;
    if (tok.kind == Token::kEnd) {
      found = "the end of the file";
    } else if (tok.kind == Token::kBad && tok.text == "\"") {
      throw SyntaxError{tok.pos, "string not closed: a '\"' must end it on the same line"};
    } else if (tok.kind == Token::kBad) {
      throw SyntaxError{tok.pos, "unexpected character '" + tok.text + "'"};
    } else {
      found = "'" + tok.text + "'";
    }
    throw SyntaxError{tok.pos, "expected " + what + ", found " + found};
  }
  bool Is(const std::string& text) const {
    const Token& tok = Peek();
    return (tok.kind == Token::kName || tok.kind == Token::kSymbol) && tok.text == text;
  }
  bool Accept(const std::string& text) {
    if (!Is(text)) return false;
    ++pos_;
    return true;
  }
  void Expect(const std::string& text) {
    if (!Accept(text)) Fail("'" + text + "'");
  }
  std::string Name(const std::string& what) {
    const Token& tok = Peek();
    if (tok.kind != Token::kName) Fail(what);
    if (kKeywords.count(tok.text)) {
      throw SyntaxError{tok.pos, "'" + tok.text + "' is a keyword and cannot be " + what};
    }
    ++pos_;
    return tok.text;
  }
  // A number with an optional leading minus, as text.
  std::string SignedNumber(const std::string& what) {
    std::string sign = Accept("-") ? "-" : "";
    const Token& tok = Peek();
    if (tok.kind != Token::kNumber) Fail(what);
    ++pos_;
    return sign + tok.text;
  }
  int Integer(const std::string& what) {
    const Token& tok = Peek();
    if (tok.kind != Token::kNumber || tok.real) Fail(what);
    if (tok.text.size() > 6) throw SyntaxError{tok.pos, what + " is too large"};
    ++pos_;
    return std::stoi(tok.text);
  }
  void Enter() {
    if (++depth_ > kMaxDepth) throw SyntaxError{Peek().pos, "nesting too deep"};
  }

  void TopLevel() {
    if (Accept("global")) {
      Global g;
      g.pos = Peek().pos;
      g.name = Name("a global variable name");
      Expect(":");
      Pos typePos = Peek().pos;
      g.type = Name("a type (bool, short, int, long, float or double)");
      static const std::set<std::string> types = {"bool", "short", "int",
                                                  "long", "float", "double"};
      if (!types.count(g.type)) {
        throw SyntaxError{
            typePos, "unknown type '" + g.type + "' (bool, short, int, long, float or double)"};
      }
      m_.globals.push_back(g);
    } else if (Accept("submodel")) {
      SubmodelDecl();
    } else if (Is("rep") || Is("join")) {
      ComposerDecl();
    } else if (Accept("top")) {
      m_.topPos = Peek().pos;
      if (!m_.top.empty()) throw SyntaxError{m_.topPos, "a second 'top'"};
      m_.top = Name("the name of the top node");
    } else if (Accept("reward")) {
      RewardDecl();
    } else if (Is("study")) {
      StudyDecl();
    } else {
      Fail("a declaration (global, submodel, rep, join, top, reward or study)");
    }
  }

  void SubmodelDecl() {
    Submodel s;
    s.pos = Peek().pos;
    s.name = Name("a submodel name");
    Expect("{");
    while (!Accept("}")) {
      if (Accept("place")) {
        Place p;
        p.pos = Peek().pos;
        p.name = Name("a place name");
        if (Is("[") || (Is(":") && Peek(1).text == "{")) {
          s.extended.push_back(ExtendedPlaceDecl(std::move(p)));
          continue;
        }
        if (Accept(":")) {
          p.typePos = Peek().pos;
          p.type = PlaceType();
        }
        if (Accept("=")) {
          if (Is("{"))
            throw SyntaxError{Peek().pos, "a list of initial values needs an array place"};
          p.initial = Expression();
        }
        s.places.push_back(std::move(p));
      } else if (Is("timed") || Is("instant")) {
        s.activities.push_back(ActivityDecl());
      } else {
        Fail("'place', 'timed', 'instant' or '}'");
      }
    }
    m_.submodels.push_back(std::move(s));
  }

  std::string PlaceType() {
    Pos at = Peek().pos;
    std::string type = Name("a place type (short, int, char, double or float)");
    static const std::set<std::string> types = {"short", "int", "char", "double", "float"};
    if (!types.count(type)) {
      throw SyntaxError{at,
                        "unknown place type '" + type + "' (short, int, char, double or float)"};
    }
    return type;
  }

  // After "place NAME": an array size, a type or a record of fields, and
  // the initial values.
  ExtendedPlace ExtendedPlaceDecl(Place p) {
    ExtendedPlace x;
    x.name = std::move(p.name);
    x.pos = p.pos;
    if (Accept("[")) {
      x.size = Expression();
      Expect("]");
    }
    if (Accept(":")) {
      x.typePos = Peek().pos;
      if (Accept("{")) {
        do {
          Field f;
          f.pos = Peek().pos;
          f.name = Name("a field name");
          if (Accept(":")) {
            f.typePos = Peek().pos;
            f.type = PlaceType();
          }
          if (Accept("=")) f.initial = Expression();
          x.fields.push_back(std::move(f));
        } while (Accept(","));
        Expect("}");
      } else {
        x.type = PlaceType();
      }
    }
    if (Accept("=")) {
      x.initialPos = Peek().pos;
      if (!x.fields.empty()) {
        throw SyntaxError{x.initialPos, "a record place takes its initial values from its fields"};
      }
      if (Accept("{")) {
        x.initialList = true;
        do {
          x.initial.push_back(Expression());
        } while (Accept(","));
        Expect("}");
      } else {
        x.initial.push_back(Expression());
      }
    }
    return x;
  }

  // The rest of an element or field access after its place name:
  // [INDEX], .FIELD or [INDEX].FIELD.
  ExprPtr ElementAccess(const std::string& name, Pos at) {
    ExprPtr e = Make(Expr::kElement, at, name);
    if (Accept("[")) {
      e->args.push_back(Expression());
      Expect("]");
    }
    if (Accept(".")) e->field = Name("a field name");
    return e;
  }

  Activity ActivityDecl() {
    Activity a;
    a.timed = Peek().text == "timed";
    ++pos_;
    a.pos = Peek().pos;
    a.name = Name("an activity name");
    Expect("{");
    while (!Accept("}")) {
      Pos at = Peek().pos;
      if (Accept("delay")) {
        if (!a.timed) throw SyntaxError{at, "an instantaneous activity has no delay"};
        if (!a.distribution.empty()) throw SyntaxError{at, "a second 'delay'"};
        a.distributionPos = Peek().pos;
        a.distribution = Name("a distribution name");
        Expect("(");
        if (!Is(")")) {
          do {
            a.delayArgs.push_back(Expression());
          } while (Accept(","));
        }
        Expect(")");
      } else if (Accept("when")) {
        a.whens.push_back(Expression());
      } else if (Accept("rank")) {
        if (a.timed) throw SyntaxError{at, "only instantaneous activities have a rank"};
        a.rank = Integer("a rank (an integer)");
        a.hasRank = true;
      } else if (Accept("resample")) {
        if (!a.timed) throw SyntaxError{at, "an instantaneous activity has no delay to resample"};
        if (a.resample) throw SyntaxError{at, "a second 'resample'"};
        Expect("when");
        a.resample = Expression();
        Expect("changes");
      } else if (Accept("watch")) {
        if (a.watch) throw SyntaxError{at, "a second 'watch'"};
        a.watch = Expression();
      } else if (Accept("reactivate")) {
        if (a.reactivate) throw SyntaxError{at, "a second 'reactivate'"};
        a.reactivate = Expression();
      } else if (Accept("case")) {
        Case c;
        c.pos = at;
        Accept("weight");
        c.weight = Expression();
        Expect("{");
        while (!Accept("}")) {
          if (Is("input"))
            throw SyntaxError{Peek().pos, "input arcs belong to the activity, not a case"};
          if (!EffectItemDecl(c.effects)) Fail("'output', 'do' or '}'");
        }
        a.cases.push_back(std::move(c));
      } else if (!EffectItemDecl(a.effects)) {
        Fail(
            "an activity item (delay, when, input, output, do, case, rank, resample, watch, "
            "reactivate) or "
            "'}'");
      }
    }
    if (a.timed && a.distribution.empty()) {
      throw SyntaxError{a.pos, "timed activity '" + a.name + "' has no 'delay'"};
    }
    return a;
  }

  bool EffectItemDecl(std::vector<EffectItem>& items) {
    EffectItem e;
    e.pos = Peek().pos;
    if (Accept("input") || Accept("output")) {
      e.kind = t_[pos_ - 1].text == "input" ? EffectItem::kInput : EffectItem::kOutput;
      e.pos = Peek().pos;
      e.place = Name("a place name");
      if (Is("[") || Is(".")) e.target = ElementAccess(e.place, e.pos);
      if (Accept("*")) {
        Pos np = Peek().pos;
        e.count = Integer("an arc multiplicity (an integer)");
        if (e.count < 1) throw SyntaxError{np, "an arc multiplicity is at least 1"};
      }
    } else if (Accept("do")) {
      e.kind = EffectItem::kDo;
      e.body = Block();
    } else {
      return false;
    }
    items.push_back(std::move(e));
    return true;
  }

  std::vector<Stmt> Block() {
    Enter();
    Expect("{");
    std::vector<Stmt> body;
    while (!Accept("}")) {
      if (Accept(";")) continue;
      body.push_back(Statement());
    }
    --depth_;
    return body;
  }

  Stmt Statement() {
    Stmt s;
    s.pos = Peek().pos;
    if (Accept("if")) {
      s.kind = Stmt::kIf;
      s.expr = Expression();
      s.thenBody = Block();
      if (Accept("else")) {
        if (Is("if")) {
          s.elseBody.push_back(Statement());
        } else {
          s.elseBody = Block();
        }
      }
      return s;
    }
    s.kind = Stmt::kAssign;
    s.place = Name("a statement (PLACE = EXPR, PLACE += EXPR, PLACE -= EXPR, if)");
    if (Is("[") || Is(".")) s.target = ElementAccess(s.place, s.pos);
    if (Is("=") || Is("+=") || Is("-=")) {
      s.op = Peek().text;
      ++pos_;
    } else {
      Fail("'=', '+=' or '-='");
    }
    s.expr = Expression();
    return s;
  }

  void ComposerDecl() {
    Composer c;
    c.kind = Peek().text == "rep" ? Composer::kRep : Composer::kJoin;
    ++pos_;
    c.pos = Peek().pos;
    c.name = Name(c.kind == Composer::kRep ? "a rep name" : "a join name");
    Expect("=");
    if (c.kind == Composer::kRep) {
      c.count = Expression();
      Expect("of");
      c.childPos.push_back(Peek().pos);
      c.children.push_back(Name("the name of the replicated node"));
    } else {
      do {
        c.childPos.push_back(Peek().pos);
        c.children.push_back(Name("a child node name"));
      } while (Accept(","));
    }
    if (Accept("{")) {
      while (!Accept("}")) {
        Expect("share");
        do {
          Share sh;
          sh.pos = Peek().pos;
          sh.name = Name("a place name");
          if (Accept("=")) {
            if (c.kind == Composer::kRep) {
              throw SyntaxError{Peek().pos, "a rep shares places by name only"};
            }
            sh.explicitMembers = true;
            do {
              ShareMember mem;
              mem.pos = Peek().pos;
              mem.child = Name("a child node name");
              Expect(".");
              mem.place = Name("a place name");
              sh.members.push_back(mem);
            } while (Accept(","));
            c.shares.push_back(std::move(sh));
            break;
          }
          c.shares.push_back(std::move(sh));
        } while (Accept(","));
      }
    }
    m_.composers.push_back(std::move(c));
  }

  void Times(Reward& r, bool intervals) {
    do {
      if (intervals) {
        Expect("from");
        r.startText.push_back(SignedNumber("a time"));
        Expect("to");
        r.stopText.push_back(SignedNumber("a time"));
      } else {
        r.startText.push_back(SignedNumber("a time"));
        r.stopText.push_back(r.startText.back());
      }
    } while (Accept(","));
  }

  void RewardDecl() {
    Reward r;
    r.pos = Peek().pos;
    r.name = Name("a reward variable name");
    Expect("of");
    do {
      r.submodelPos.push_back(Peek().pos);
      r.submodels.push_back(Name("a submodel name"));
    } while (Accept(","));
    Expect("{");
    while (!Accept("}")) {
      Pos at = Peek().pos;
      if (Is("instant") || Is("interval") || Is("average") || Is("steady")) {
        if (r.hasKind) throw SyntaxError{at, "a reward variable has one kind of time points"};
        std::string k = Peek().text;
        ++pos_;
        r.hasKind = true;
        if (k == "instant") {
          r.kind = Reward::kInstant;
          Expect("at");
          Times(r, false);
        } else {
          r.kind = k == "interval" ? Reward::kInterval
                                   : (k == "average" ? Reward::kAverage : Reward::kSteady);
          Times(r, true);
          if (r.kind == Reward::kSteady && r.startText.size() != 1) {
            throw SyntaxError{at, "a steady-state variable has one batch window"};
          }
        }
      } else if (Accept("rate")) {
        if (r.rate) throw SyntaxError{at, "a second 'rate'"};
        r.rate = Expression();
      } else if (Accept("impulse")) {
        Impulse imp;
        imp.pos = Peek().pos;
        imp.activity = Name("an activity name");
        if (Accept(".")) {
          imp.submodel = imp.activity;
          imp.activity = Name("an activity name");
        }
        Expect("=");
        imp.value = Expression();
        r.impulses.push_back(std::move(imp));
      } else {
        Fail("'instant', 'interval', 'average', 'steady', 'rate', 'impulse' or '}'");
      }
    }
    if (!r.hasKind) throw SyntaxError{r.pos, "reward variable '" + r.name + "' has no time points"};
    if (!r.rate && r.impulses.empty()) {
      throw SyntaxError{r.pos, "reward variable '" + r.name + "' has no 'rate' and no 'impulse'"};
    }
    m_.rewards.push_back(std::move(r));
  }

  void StudyDecl() {
    Pos at = Peek().pos;
    Expect("study");
    if (m_.study.present) throw SyntaxError{at, "a second study"};
    m_.study.present = true;
    m_.study.pos = at;
    if (Accept("range")) {
      m_.study.range = true;
    } else if (Accept("set")) {
      m_.study.range = false;
    } else {
      Fail("'range' or 'set'");
    }
    Expect("{");
    while (!Accept("}")) {
      if (Is("experiments") && Peek(1).kind == Token::kString) {
        if (!m_.study.names.empty()) throw SyntaxError{Peek().pos, "a second 'experiments'"};
        m_.study.namesPos = Peek().pos;
        ++pos_;
        do {
          if (Peek().kind != Token::kString) Fail("an experiment name in quotes");
          m_.study.names.push_back(Peek().text);
          ++pos_;
        } while (Accept(","));
        continue;
      }
      StudyEntry e;
      e.pos = Peek().pos;
      e.global = Name("a global variable name");
      Expect("=");
      e.values.push_back(StudyValue());
      if (m_.study.range && Accept("to")) {
        e.ranged = true;
        e.from = e.values[0];
        e.to = StudyValue();
        e.step = Accept("step") ? StudyValue() : "1";
      } else if (!m_.study.range) {
        while (Accept(",")) e.values.push_back(StudyValue());
      }
      m_.study.entries.push_back(std::move(e));
    }
  }

  std::string StudyValue() {
    if (Accept("true")) return "true";
    if (Accept("false")) return "false";
    return SignedNumber("a number");
  }

  // ---- expressions ----

  ExprPtr Make(Expr::Kind kind, Pos pos, std::string text) {
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->pos = pos;
    e->text = std::move(text);
    return e;
  }

  ExprPtr Expression() {
    Enter();
    ExprPtr e;
    Pos at = Peek().pos;
    if (Accept("if")) {
      e = Make(Expr::kCond, at, "?");
      e->args.push_back(Expression());
      Expect("then");
      e->args.push_back(Expression());
      Expect("else");
      e->args.push_back(Expression());
    } else {
      e = Or();
    }
    --depth_;
    return e;
  }

  ExprPtr Binary(ExprPtr left, const std::string& op, Pos pos, ExprPtr right) {
    ExprPtr e = Make(Expr::kBinary, pos, op);
    e->args.push_back(std::move(left));
    e->args.push_back(std::move(right));
    return e;
  }

  ExprPtr Or() {
    ExprPtr e = And();
    while (Is("or") || Is("||")) {
      Pos at = Peek().pos;
      ++pos_;
      e = Binary(std::move(e), "||", at, And());
    }
    return e;
  }
  ExprPtr And() {
    ExprPtr e = Not();
    while (Is("and") || Is("&&")) {
      Pos at = Peek().pos;
      ++pos_;
      e = Binary(std::move(e), "&&", at, Not());
    }
    return e;
  }
  ExprPtr Not() {
    Pos at = Peek().pos;
    if (Accept("not") || Accept("!")) {
      Enter();
      ExprPtr e = Make(Expr::kUnary, at, "!");
      e->args.push_back(Not());
      --depth_;
      return e;
    }
    return Comparison();
  }
  ExprPtr Comparison() {
    ExprPtr e = Sum();
    static const char* const ops[] = {"==", "!=", "<=", ">=", "<", ">"};
    for (;;) {
      bool found = false;
      for (const char* op : ops) {
        if (Is(op)) {
          Pos at = Peek().pos;
          ++pos_;
          e = Binary(std::move(e), op, at, Sum());
          found = true;
          break;
        }
      }
      if (!found) return e;
    }
  }
  ExprPtr Sum() {
    ExprPtr e = Product();
    while (Is("+") || Is("-")) {
      Pos at = Peek().pos;
      std::string op = Peek().text;
      ++pos_;
      e = Binary(std::move(e), op, at, Product());
    }
    return e;
  }
  ExprPtr Product() {
    ExprPtr e = Unary();
    while (Is("*") || Is("/") || Is("%")) {
      Pos at = Peek().pos;
      std::string op = Peek().text;
      ++pos_;
      e = Binary(std::move(e), op, at, Unary());
    }
    return e;
  }
  ExprPtr Unary() {
    Pos at = Peek().pos;
    if (Accept("-")) {
      Enter();
      ExprPtr e = Make(Expr::kUnary, at, "-");
      e->args.push_back(Unary());
      --depth_;
      return e;
    }
    return Primary();
  }
  ExprPtr Primary() {
    const Token& tok = Peek();
    Pos at = tok.pos;
    if (tok.kind == Token::kNumber) {
      ExprPtr e = Make(Expr::kNumber, at, tok.text);
      e->real = tok.real;
      ++pos_;
      return e;
    }
    if (Accept("true")) return Make(Expr::kBool, at, "true");
    if (Accept("false")) return Make(Expr::kBool, at, "false");
    if (Accept("(")) {
      ExprPtr e = Expression();
      Expect(")");
      return e;
    }
    if (Is("if")) return Expression();
    if (tok.kind == Token::kName && !kKeywords.count(tok.text)) {
      std::string name = tok.text;
      ++pos_;
      if (Accept("(")) {
        ExprPtr e = Make(Expr::kCall, at, name);
        if (!Is(")")) {
          do {
            e->args.push_back(Expression());
          } while (Accept(","));
        }
        Expect(")");
        return e;
      }
      if (Is("[")) return ElementAccess(name, at);
      if (Accept(".")) {
        // SUBMODEL.PLACE[...] or SUBMODEL.PLACE.FIELD: a qualified element;
        // A.B alone is a record field or, in a reward variable, a place of
        // submodel A (the checker decides).
        Pos second = Peek().pos;
        std::string field = Name("a field or place name");
        if (Is("[") || Is(".")) {
          ExprPtr e = ElementAccess(field, second);
          e->qualifier = name;
          e->pos = at;
          return e;
        }
        ExprPtr e = Make(Expr::kElement, at, name);
        e->field = field;
        return e;
      }
      return Make(Expr::kName, at, name);
    }
    Fail("an expression");
  }

  std::vector<Token> t_;
  Model& m_;
  size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

bool Parse(const std::string& text, Model& model, Diagnostics& diag) {
  try {
    Parser p(Tokenize(text), model);
    p.File();
  } catch (const SyntaxError& e) {
    diag.Error(e.pos, e.message);
    return false;
  }
  return true;
}

}  // namespace lang
