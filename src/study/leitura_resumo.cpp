// O resumo lido de volta: linha a linha, em tempo linear, com toda linha conferida (campos, números finitos, aspas
// fechadas na linha) e só as colunas que a tabela do estudo usa guardadas. Resumos juntados de versões diferentes
// valem, cada linha sob o seu cabeçalho, com as colunas que mudaram de nome lidas pelo nome de hoje; as colunas novas
// só entram no fim.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "report/listagem.h"
#include "state/erro_fatal.h"
#include "state/opcoes_metodo.h"
#include "state/veredito.h"
#include "study/estudo.h"

namespace {

// Colunas de texto do resumo (e as de número ou texto, --coarsest N|solve); as demais que o programa escreve são
// números (ou vazias, quando não se aplicam).
bool de_texto(const std::string& c) {
    const coluna_resumo* x = coluna_do_resumo(c);
    return x && (x->tipo == tipo_coluna::texto || x->tipo == tipo_coluna::numero_ou_texto);
}

// As colunas que a tabela e o estudo usam: só elas ficam na memória.
bool guardada(const std::string& c) {
    static const std::set<std::string> usadas = [] {
        std::set<std::string> u = {"caso",     "estudo",        "veredito",       "convergiu",   "niter",
                                   "nm",       "nx",            "ny",             "nxg",         "nyg",
                                   "nitm",     "tolt",          "problema",       "tipo_ci",     "itmax",
                                   "q_assintotico", "rho_lfa",  "mu_lfa",         "trabalho_ciclo", "q_por_trabalho",
                                   "cpu_s",    "erro_algebrico_max", "erro_discretizacao_max",
                                   "rho_lfa_k2", "rho_lfa_k3", "rho_lfa_k4"};
        for (const opcao_metodo& o : opcoes_do_metodo()) u.insert(o.nome);
        const colunas_de_repeticao& r = nomes_das_colunas_de_repeticao();
        u.insert({r.repeticoes, r.cpu_mediana, r.cpu_min, r.cpu_max});
        return u;
    }();
    return usadas.count(c) > 0;
}

// Um número como o programa o escreve: sinal, dígitos, ponto, expoente; finito.
std::string conferir_numero(const std::string& v) {
    std::size_t i = 0, digitos = 0;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) ++i;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i, ++digitos;
    if (i < v.size() && v[i] == '.')
        for (++i; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) ++digitos;
    bool certo = digitos > 0;
    if (certo && i < v.size() && (v[i] == 'e' || v[i] == 'E')) {
        ++i;
        if (i < v.size() && (v[i] == '+' || v[i] == '-')) ++i;
        std::size_t expo = 0;
        while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i, ++expo;
        certo = expo > 0;
    }
    if (!certo || i != v.size()) return "'" + v + "' is not a number";
    if (!std::isfinite(std::strtod(v.c_str(), nullptr))) return "'" + v + "' is beyond the largest double";
    return {};
}

// Um texto escrito com o apóstrofo que o protege das planilhas (=, +, -, @, TAB, CR ou o próprio apóstrofo no
// começo): sem ele.
std::string sem_protecao(const std::string& v) {
    if (v.size() >= 2 && v[0] == '\'' && std::strchr("=+-@\t\r'", v[1])) return v.substr(1);
    return v;
}

// Os campos de uma linha (sem o fim de linha), estritamente: aspas só no começo de um campo, fechadas na mesma linha e
// seguidas de vírgula ou do fim; vazio quando certa, senão o defeito.
std::string campos_estritos(const std::string& linha, std::vector<std::string>& c) {
    c.assign(1, {});
    std::size_t i = 0;
    const std::size_t fim = linha.size() && linha.back() == '\r' ? linha.size() - 1 : linha.size();
    while (i < fim) {
        if (linha[i] == '"' && c.back().empty()) {
            for (++i;; ++i) {
                if (i >= fim) return "a quoted field is not closed on its line (it would hold a line end)";
                if (linha[i] == '\r' || linha[i] == '\n') return "a quoted field holds a line end";
                if (linha[i] == '"' && i + 1 < fim && linha[i + 1] == '"') c.back() += '"', ++i;
                else if (linha[i] == '"') break;
                else c.back() += linha[i];
            }
            ++i;
            if (i < fim && linha[i] != ',') return "a quote inside a field";
        } else if (linha[i] == ',') {
            c.emplace_back();
            ++i;
        } else if (linha[i] == '"' || linha[i] == '\r') {
            return linha[i] == '"' ? "a quote inside a field" : "a carriage return inside a field";
        } else {
            c.back() += linha[i++];
        }
    }
    return {};
}

// O cabeçalho em vigor: os nomes das suas colunas e, para cada uma, onde ela fica nas guardadas (-1: não fica).
struct cabecalho_vigente {
    std::vector<std::string> nomes;
    std::vector<int> destino;
    std::size_t curto = 0; // > 0: o cabeçalho de uma versão anterior; linhas desta versão têm nomes.size() campos
};

class leitura {
public:
    leitura(const std::string& arquivo, long long desde, resumo_lido& r) : arquivo_(arquivo), desde_(desde), r_(r) {}

    [[noreturn]] void erro(const std::string& o_que) const {
        throw erro_fatal(arquivo_ + ", line " + std::to_string(numero_) + ": " + o_que);
    }

    void linha(const std::string& l, long long inicio) {
        ++numero_;
        if (numero_ == 1 && !cabecalho_de_resumo(l))
            throw erro_fatal(arquivo_ + " is not a placa summary: its first line is not the summary header");
        if (cabecalho_de_resumo(l)) return cabecalho(l);
        if (l.empty() || l == "\r" || inicio < desde_) return; // as de antes de `desde` não são deste estudo
        if (const std::string e = campos_estritos(l, campos_); !e.empty()) erro(e);
        std::vector<std::string> nomes = c_.nomes;
        std::vector<int> destino = c_.destino;
        if (c_.curto > 0 && campos_.size() == atuais_.size()) { // linha desta versão sob um cabeçalho antigo
            nomes = atuais_;
            destino = destinos(atuais_);
        }
        if (campos_.size() != nomes.size())
            erro("the row has " + std::to_string(campos_.size()) + " fields, the header " + std::to_string(nomes.size()) +
                 (campos_.size() < nomes.size() ? " (a short row)" : ""));
        guardar_.assign(r_.colunas.size(), {});
        for (std::size_t k = 0; k < campos_.size(); ++k) {
            std::string& v = campos_[k];
            // os números das colunas que esta versão conhece (as de uma versão futura passam como estão)
            if (de_texto(nomes[k])) v = sem_protecao(v);
            else if (!v.empty() && std::find(atuais_.begin(), atuais_.end(), nomes[k]) != atuais_.end())
                if (const std::string e = conferir_numero(v); !e.empty()) erro("column " + nomes[k] + ": " + e);
            if (nomes[k] == "veredito" && !v.empty() && !veredito_de_nome(v))
                erro("column veredito: '" + v + "' is not one of " + nomes_dos_vereditos());
            if (destino[k] >= 0) guardar_[static_cast<std::size_t>(destino[k])] = std::move(v);
        }
        if (c_.curto == 0 || campos_.size() != atuais_.size()) completar_antigas();
        r_.acrescentar(guardar_);
    }

private:
    // Uma linha de uma versão sem as colunas eps, coefficient, problem, nxg, nyg ou as da correção grossa: o que aquela
    // versão fazia (eps 1, o coeficiente constante, o problema da entrada, a correção grossa de sempre) e a grade da
    // entrada tirada de nx, ny e nm; assim as linhas de versões diferentes se comparam pelo que resolveram.
    void completar_antigas() {
        const auto indice = [&](const char* nome) {
            const auto i = std::find(r_.colunas.begin(), r_.colunas.end(), nome);
            return i == r_.colunas.end() ? -1 : static_cast<int>(i - r_.colunas.begin());
        };
        const auto presente = [&](const char* nome) {
            return std::find(c_.nomes.begin(), c_.nomes.end(), nome) != c_.nomes.end();
        };
        const auto completar = [&](const char* nome, const std::string& valor) {
            const int i = indice(nome);
            if (i >= 0 && !presente(nome)) guardar_[static_cast<std::size_t>(i)] = valor;
        };
        const auto valor = [&](const char* nome) {
            const int i = indice(nome);
            return i < 0 ? std::string() : guardar_[static_cast<std::size_t>(i)];
        };
        const long long nm = std::atoll(valor("nm").c_str());
        completar("eps", "1");
        completar("coefficient", "constant");
        // a correção grossa de sempre, onde há níveis
        if (nm >= 2) {
            completar("coarse-operator", "rediscretize");
            completar("interpolation", "bilinear");
            completar("coarsening", "full");
            completar("post-order", "same"); // antes de --post-order a pós-suavização ia na ordem da pré
        }
        completar("krylov", "none"); // antes de --krylov toda rodada era a iteração sem aceleração
        const std::string problema = valor("problema");
        if (!problema.empty()) completar("problem", problema == "1" ? "linear" : "sinusoidal");
        // nxg(1) = (nx + 1) / 2^(nm - 1) + 1, quando a divisão é exata
        for (const auto& [g, n] : {std::pair{"nxg", "nx"}, std::pair{"nyg", "ny"}}) {
            const long long pontos = std::atoll(valor(n).c_str()) + 1;
            if (nm >= 1 && nm <= 62 && pontos > 0 && pontos % (1LL << (nm - 1)) == 0)
                completar(g, std::to_string(pontos / (1LL << (nm - 1)) + 1));
        }
    }

    // Onde cada coluna de `nomes` fica nas guardadas (-1: não é guardada).
    std::vector<int> destinos(const std::vector<std::string>& nomes) const {
        std::vector<int> d;
        for (const std::string& n : nomes) {
            const auto i = std::find(r_.colunas.begin(), r_.colunas.end(), n);
            d.push_back(i == r_.colunas.end() ? -1 : static_cast<int>(i - r_.colunas.begin()));
        }
        return d;
    }

    void cabecalho(const std::string& l) {
        if (const std::string e = campos_estritos(l, campos_); !e.empty()) erro(e);
        // os nomes de versões anteriores (suavizador, restricao, ...) lidos como os de hoje
        for (std::string& n : campos_) n = nome_atual_da_coluna(n);
        if (atuais_.empty()) {
            // as guardadas: as colunas desta versão que a tabela usa, na ordem do cabeçalho (as mesmas para todo
            // cabeçalho do arquivo; uma que falta num resumo antigo fica vazia)
            atuais_ = campos_csv(cabecalho_resumo());
            for (const std::string& n : atuais_)
                if (guardada(n)) r_.colunas.push_back(n);
        }
        c_.nomes = campos_;
        c_.destino = destinos(c_.nomes);
        const bool prefixo = c_.nomes.size() < atuais_.size() && std::equal(c_.nomes.begin(), c_.nomes.end(), atuais_.begin());
        c_.curto = prefixo ? c_.nomes.size() : 0;
    }

    const std::string& arquivo_;
    long long desde_;
    resumo_lido& r_;
    long long numero_ = 0;
    cabecalho_vigente c_;
    std::vector<std::string> atuais_, campos_, guardar_;
};

} // namespace

std::vector<std::string> campos_csv(const std::string& linha) {
    std::vector<std::string> c(1);
    bool aspas = false;
    for (std::size_t i = 0; i < linha.size(); ++i) {
        const char x = linha[i];
        if (aspas && x == '"' && i + 1 < linha.size() && linha[i + 1] == '"') c.back() += '"', ++i;
        else if (x == '"') aspas = !aspas;
        else if (x == ',' && !aspas) c.emplace_back();
        else if ((x == '\r' || x == '\n') && !aspas) break;
        else c.back() += x;
    }
    return c;
}

long long tamanho_do_resumo(const std::string& arquivo) {
    std::FILE* f = std::fopen(arquivo.c_str(), "rb");
    if (!f) return 0;
    const long long n = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : 0;
    std::fclose(f);
    return n < 0 ? 0 : n;
}

resumo_lido ler_resumo(const std::string& arquivo, long long desde) {
    std::FILE* f = std::fopen(arquivo.c_str(), "rb");
    if (!f) throw erro_fatal("cannot open the --summary file " + arquivo + ": " + std::strerror(errno));
    resumo_lido r;
    leitura l(arquivo, desde, r);
    std::string linha;
    long long pos = 0, inicio = 0;
    std::vector<char> b(1 << 20);
    try {
        for (std::size_t n; (n = std::fread(b.data(), 1, b.size(), f)) > 0;) {
            for (std::size_t i = 0; i < n;) {
                const char* nl = static_cast<const char*>(std::memchr(b.data() + i, '\n', n - i));
                const std::size_t ate = nl ? static_cast<std::size_t>(nl - b.data()) : n;
                linha.append(b.data() + i, ate - i);
                pos += static_cast<long long>(ate - i);
                i = ate;
                if (!nl) break;
                ++i, ++pos;
                l.linha(linha, inicio);
                linha.clear();
                inicio = pos;
            }
        }
        if (std::ferror(f)) throw erro_fatal("error reading the --summary file " + arquivo + ": " + std::strerror(errno));
        if (!linha.empty()) l.linha(linha, inicio); // a última linha sem fim de linha
        if (pos == 0) throw erro_fatal(arquivo + " is not a placa summary: it is empty");
    } catch (...) {
        std::fclose(f);
        throw;
    }
    std::fclose(f);
    return r;
}

void resumo_lido::acrescentar(const std::vector<std::string>& campos) {
    for (std::size_t k = 0; k < colunas.size(); ++k) {
        if (k < campos.size()) texto_ += campos[k];
        fins_.push_back(texto_.size());
    }
}

std::vector<std::string> resumo_lido::linha(std::size_t i) const {
    std::vector<std::string> l;
    for (std::size_t k = 0; k < colunas.size(); ++k) l.emplace_back(campo(i, k));
    return l;
}
