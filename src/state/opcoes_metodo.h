// As opções do método como dados: uma linha por opção, com o nome que se digita (--cycle, --sweep cycle=), que é
// também a coluna do resumo e do CSV, a chave do JSON e o nome nas legendas; o valor padrão, o leitor do valor e o
// valor efetivo como se digita. O parser, o --sweep, as rodadas de um estudo, a tabela do estudo, o resumo, o CSV e o
// JSON leem esta tabela. As do problema (--eps, --coefficient, --problem) são linhas do mesmo jeito,
// do grupo `problema`: a ajuda as lista à parte e o resumo põe as suas colunas no fim da linha.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "state/metodo.h"

// Do que uma opção trata: dos componentes do método, do problema resolvido ou dos componentes que vieram depois (a
// correção grossa: coarse-operator, interpolation, coarsening; e krylov), cujas colunas vão no fim da linha do resumo
// e do CSV para que as antigas fiquem na mesma posição; e as que vieram depois das normas do resíduo (post-order),
// cujas colunas fecham a linha).
enum class grupo_opcao { metodo, problema, grosso, posterior };

// O valor de uma opção numa coluna: um texto, ou um número quando o texto é um (--coarsest N|solve).
enum class tipo_valor_opcao { texto, numero, numero_ou_texto };

struct opcao_metodo {
    const char* nome;      // --NOME na linha de comando, NOME em --sweep NOME=LISTA, a coluna do resumo e do CSV, a
                           // chave do JSON e da linha de componentes (monitor), o nome nas legendas
    const char* coluna_antiga; // a coluna que resumos de versões anteriores deram a ela (--study-table a lê como `nome`)
    const char* valor;     // o argumento na ajuda ("N|solve"); vazio: a opção não leva valor
    const char* padrao;    // o valor quando a opção não é dada, em palavras
    const char* ajuda;     // a linha de --help; {padrao}, {suavizadores}, {restricoes}, {relaxam} e {omega} viram
                           // o padrão e os nomes tirados de state/componentes.h
    /// Lê `texto` em m; vazio quando aceito, senão o motivo ("must be V, W or F"). As opções sem valor leem
    /// "1" (dada) ou "0" (não dada): é assim que um estudo as varre.
    std::string (*ler)(const std::string& texto, metodo_solver& m);
    /// O valor efetivo como se digita ("W", "1", "solve", "random:7", "jump:1000"); vazio onde a opção não se aplica
    /// (o ciclo numa malha só, omega nos suavizadores por linhas).
    std::string (*efetivo)(const metodo_efetivo& m);
    tipo_valor_opcao tipo = tipo_valor_opcao::texto;
    bool numero = false;   // o valor é um número, lido pela regra da entrada (state/numeros.h): brancos antes, o resto
                           // depois de um branco, vírgula ou barra dá um aviso (quem chama separa)
    grupo_opcao grupo = grupo_opcao::metodo;
};

/// As opções, as do método, as da correção grossa e as do problema (cada grupo na ordem das suas colunas no resumo).
std::span<const opcao_metodo> opcoes_do_metodo();
/// A linha da opção NOME (sem "--"), ou nula.
const opcao_metodo* opcao_do_metodo(std::string_view nome);
/// Os nomes, "cycle, fmg, ..." (para mensagens).
std::string nomes_das_opcoes_do_metodo();
/// O nome de hoje de uma coluna de resumo (as das opções tiveram outros nomes: suavizador -> smoother); a mesma se não
/// mudou.
std::string nome_atual_da_coluna(std::string_view coluna);
