// As opções do método como dados: uma linha por opção, com o nome que se digita (--cycle, --sweep cycle=), a
// coluna do resumo, o valor padrão e o leitor do valor. O parser, o --sweep, as rodadas de um estudo, a tabela do
// estudo e o resumo leem esta tabela. As do problema (--eps, --coefficient, --problem) são linhas do mesmo jeito,
// do grupo `problema`: a ajuda as lista à parte e o resumo põe as suas colunas no fim da linha.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "state/metodo.h"

// Do que uma opção trata: dos componentes do método, do problema resolvido ou dos componentes da correção grossa
// (operador grosso, interpolação, engrossamento: vieram depois, as suas colunas vão no fim da linha do resumo).
enum class grupo_opcao { metodo, problema, grosso };

struct opcao_metodo {
    const char* nome;      // --NOME na linha de comando e NOME em --sweep NOME=LISTA
    const char* coluna;    // coluna do resumo e chave na linha de componentes (CSV, monitor)
    const char* valor;     // o argumento na ajuda ("N|solve"); vazio: a opção não leva valor
    const char* padrao;    // o valor quando a opção não é dada, em palavras
    const char* ajuda;     // a linha de --help; {padrao}, {suavizadores}, {restricoes}, {relaxam} e {omega} viram
                           // o padrão e os nomes tirados de state/componentes.h
    /// Lê `texto` em m; vazio quando aceito, senão o motivo ("must be V, W or F"). As opções sem valor leem
    /// "1" (dada) ou "0" (não dada): é assim que um estudo as varre.
    std::string (*ler)(const std::string& texto, metodo_solver& m);
    bool numero = false;   // o valor é um número, lido pela regra da entrada (state/numeros.h): brancos antes, o resto
                           // depois de um branco, vírgula ou barra dá um aviso (quem chama separa)
    grupo_opcao grupo = grupo_opcao::metodo;
};

/// As opções, as do método e depois as do problema (cada grupo na ordem das suas colunas no resumo).
std::span<const opcao_metodo> opcoes_do_metodo();
/// A linha da opção NOME (sem "--"), ou nula.
const opcao_metodo* opcao_do_metodo(std::string_view nome);
/// Os nomes, "cycle, fmg, ..." (para mensagens).
std::string nomes_das_opcoes_do_metodo();
